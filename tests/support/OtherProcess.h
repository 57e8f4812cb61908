#pragma once
// Another process, as a colleague on another machine would be: a forked child runs `take` (which
// locks something and keeps it in the returned handle), reports whether it worked, and keeps what
// it holds until told to let go, or dies without letting go when killed.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <memory>

class OtherProcess {
public:
    using Take = std::function<std::shared_ptr<void>()>;
    explicit OtherProcess(const Take& take) {
        int ready[2], go[2];
        if (::pipe(ready) != 0 || ::pipe(go) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            std::shared_ptr<void> held = take();
            char c = held ? 'y' : 'n';
            ssize_t n = ::write(ready[1], &c, 1);
            n = ::read(go[0], &c, 1);
            (void)n;
            held.reset();
            ::_exit(0);
        }
        char c = 0;
        ok_ = ::read(ready[0], &c, 1) == 1 && c == 'y';
        ::close(ready[0]);
        ::close(ready[1]);
        ::close(go[0]);
        goFd_ = go[1];
    }
    ~OtherProcess() { letGo(); }
    bool took() const { return ok_; }
    // Lets go of what it holds and ends.
    void letGo() {
        if (pid_ <= 0) return;
        char c = 'x';
        ssize_t n = ::write(goFd_, &c, 1);
        (void)n;
        finish();
    }
    // Dies at once, letting go of nothing by itself (the kernel drops its locks).
    void crash() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        finish();
    }

private:
    void finish() {
        ::close(goFd_);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    pid_t pid_ = -1;
    int goFd_ = -1;
    bool ok_ = false;
};
