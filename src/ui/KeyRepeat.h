#pragma once
// A held key on X11: by default the server repeats it as release and press pairs, and Qt can
// tell them from real ones only when the press is already waiting in its queue, which a busy
// machine does not guarantee. Asked for detectable auto-repeat, the server sends the repeats
// as presses alone and the one release when the key goes up.

enum class TKeyRepeatMode {
    NotX11,      // another platform: its repeats come marked (or the tests' offscreen platform)
    Detectable,  // the server sends no release until the key goes up
    Unavailable  // the server refused; Qt's own guess stays, and a busy machine may retrigger
};

// Asks the X server through Qt's own connection (the flag belongs to the client that reads the
// key events). Window thread; one round trip to the server.
TKeyRepeatMode UseDetectableAutoRepeat();
