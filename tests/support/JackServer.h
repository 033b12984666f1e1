#pragma once
// A JACK server of the test's own: jackd in dummy mode as a child process, under a name no
// other test process uses, so tests never share a server nor use the user's.

#include <string>
#include <sys/types.h>

class TJackServer {
public:
    TJackServer() = default;
    ~TJackServer();  // stops the server
    TJackServer(const TJackServer&) = delete;
    TJackServer& operator=(const TJackServer&) = delete;

    // Starts "jackd -r -S -n <name> -d dummy -r 48000 -p 256", points JACK_DEFAULT_SERVER of
    // this process at it and waits (at most timeoutMs) until a client can connect. Each start
    // uses a new name ("kelvane-test-<pid>-<n>"). Synchronous mode (-S): a client that is late
    // on a loaded machine delays the cycle instead of losing it, so tests can count every byte.
    // Call it from the main thread (the server dies with the thread that started it). False
    // with Error() saying why.
    bool Start(int timeoutMs = 10000);
    // SIGTERM, then SIGKILL after timeoutMs; returns once the process is gone. Harmless when
    // not running. jackd's output is kept in /tmp/<name>.log while it runs (and after, when
    // KELVANE_KEEP_JACK_LOG is set).
    void Stop(int timeoutMs = 5000);
    // SIGSTOP / SIGCONT: the server stops running cycles without its clients noticing.
    void Pause();
    void Resume();

    bool Running() const { return Pid > 0; }
    const std::string& Name() const { return ServerName; }
    const std::string& Error() const { return LastError; }

    // jackd can be found on PATH.
    static bool Available();
    // JACK test processes take turns: a JACK 1.9 server deletes, as it exits, the metadata
    // database that every JACK client of the user shares, and a client starting meanwhile finds
    // it broken (bus errors from then on). Waits for other test processes using JACK, then holds
    // the turn until this process exits. Start() takes it; call it before any other JACK use.
    static bool TakeJackTurn(std::string& error, int timeoutMs = 240000);

private:
    pid_t Pid = -1;
    std::string ServerName;
    std::string LogPath;  // jackd's output; kept when it failed to start
    std::string LastError;

    void RemoveLeftovers();
};
