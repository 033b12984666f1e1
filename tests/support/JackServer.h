#pragma once
// A JACK server of the test's own: jackd in dummy mode as a child process, under a name no
// other test process uses, so tests never share a server or touch the user's.

#include <string>
#include <sys/types.h>

class TJackServer {
public:
    TJackServer() = default;
    ~TJackServer();  // stops the server
    TJackServer(const TJackServer&) = delete;
    TJackServer& operator=(const TJackServer&) = delete;

    // Starts "jackd -r -n <name> -d dummy -r 48000 -p 256", points JACK_DEFAULT_SERVER of this
    // process at it and waits (at most timeoutMs) until a client can connect. Each start uses a
    // new name ("kelvane-test-<pid>-<n>"). Call it before anything in the process opens a JACK
    // client and from the main thread (the server dies with the thread that started it).
    // False with Error() saying why.
    bool Start(int timeoutMs = 10000);
    // SIGTERM, then SIGKILL after timeoutMs; returns once the process is gone. Harmless when
    // not running.
    void Stop(int timeoutMs = 5000);
    // SIGSTOP / SIGCONT: the server stops running cycles without its clients noticing.
    void Pause();
    void Resume();

    bool Running() const { return Pid > 0; }
    const std::string& Name() const { return ServerName; }
    const std::string& Error() const { return LastError; }

    // jackd can be found on PATH.
    static bool Available();

private:
    pid_t Pid = -1;
    std::string ServerName;
    std::string LogPath;  // jackd's output, kept when it failed to start
    std::string LastError;
};
