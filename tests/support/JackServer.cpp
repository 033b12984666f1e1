#include "JackServer.h"

#include <jack/jack.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::string FindJackd()
{
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/jackd";
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Quiet(const char*) {}
void ToStandardError(const char* message) { std::fprintf(stderr, "%s\n", message); }

// Quietly: until the server is up, every failed attempt would print four lines.
bool ClientCanConnect()
{
    jack_set_error_function(Quiet);
    jack_set_info_function(Quiet);
    jack_status_t status{};
    jack_client_t* probe = jack_client_open("kelvane-probe", JackNoStartServer, &status);
    if (probe)
        jack_client_close(probe);
    jack_set_error_function(ToStandardError);
    jack_set_info_function(ToStandardError);
    return probe != nullptr;
}

}  // namespace

TJackServer::~TJackServer() { Stop(); }

bool TJackServer::TakeJackTurn(std::string& error, int timeoutMs)
{
    static int held = -1;  // the lock stays with the process; the kernel drops it at exit
    if (held >= 0)
        return true;
    const char* path = "/tmp/kelvane-jack-tests.lock";
    const int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = std::string("cannot open ") + path;
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            close(fd);
            error = "another test process kept JACK for " + std::to_string(timeoutMs) + " ms";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    held = fd;
    return true;
}

bool TJackServer::Available() { return !FindJackd().empty(); }

bool TJackServer::Start(int timeoutMs)
{
    Stop();
    LastError.clear();
    if (!TakeJackTurn(LastError))
        return false;
    const std::string jackd = FindJackd();
    if (jackd.empty()) {
        LastError = "jackd not found on PATH";
        return false;
    }
    static int starts = 0;
    ServerName = "kelvane-test-" + std::to_string(getpid()) + "-" + std::to_string(++starts);
    LogPath = "/tmp/" + ServerName + ".log";
    // Everything the child needs is prepared here: between fork and exec it may only make
    // async-signal-safe calls.
    std::vector<std::string> args = {jackd, "-r", "-S", "-n", ServerName, "-d", "dummy", "-r", "48000", "-p", "256"};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t parent = getpid();

    const pid_t pid = fork();
    if (pid < 0) {
        LastError = "fork failed";
        return false;
    }
    if (pid == 0) {
        // A crashed test must not leave its server behind.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(127);
        const int log = open(LogPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) {
            dup2(log, STDOUT_FILENO);
            dup2(log, STDERR_FILENO);
            close(log);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    Pid = pid;
    setenv("JACK_DEFAULT_SERVER", ServerName.c_str(), 1);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(Pid, &status, WNOHANG) == Pid) {
            Pid = -1;
            LastError = "jackd exited while starting: " + ReadFile(LogPath);
            return false;
        }
        if (ClientCanConnect())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    LastError = "jackd did not accept clients within " + std::to_string(timeoutMs) + " ms: " + ReadFile(LogPath);
    Stop();
    return false;
}

void TJackServer::Stop(int timeoutMs)
{
    if (Pid <= 0)
        return;
    kill(Pid, SIGCONT);  // a paused server cannot act on SIGTERM
    kill(Pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (waitpid(Pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(Pid, SIGKILL);
            waitpid(Pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    Pid = -1;
    RemoveLeftovers();
    if (!std::getenv("KELVANE_KEEP_JACK_LOG"))
        unlink(LogPath.c_str());
}

// A server that goes while clients are attached (as a test of shutdown makes it) leaves their
// semaphores in /dev/shm, and a killed one its sockets: remove what carries this server's name.
void TJackServer::RemoveLeftovers()
{
    std::error_code error;
    const std::string infix = "_" + ServerName + "_";
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", error)) {
        const std::string name = entry.path().filename().string();
        if ((name.starts_with("jack_sem.") && name.find(infix) != std::string::npos) ||
            name.starts_with("jack" + infix))
            std::filesystem::remove(entry.path(), error);
    }
}

void TJackServer::Pause()
{
    if (Pid > 0)
        kill(Pid, SIGSTOP);
}

void TJackServer::Resume()
{
    if (Pid > 0)
        kill(Pid, SIGCONT);
}
