#include "tests/support/killed_save.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

namespace testing_support {
namespace {

#if defined(__x86_64__)
constexpr unsigned kArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr unsigned kArch = AUDIT_ARCH_AARCH64;
#else
constexpr unsigned kArch = 0;
#endif

// The sixth argument of a call the trap handler makes itself: the filter lets it through.
constexpr unsigned kPassMark = 0x5eed5a7eu;
volatile sig_atomic_t callsToPass = 0;

// A trapped call: the nth is killed, the ones before are made by the handler, their result put
// where the program expects it.
void onTrap(int, siginfo_t* info, void* context) {
    if (callsToPass <= 0) {
        ::kill(::getpid(), SIGKILL);
        return;
    }
    callsToPass = callsToPass - 1;
    const int savedErrno = errno;
    auto* uc = static_cast<ucontext_t*>(context);
#if defined(__x86_64__)
    greg_t* r = uc->uc_mcontext.gregs;
    const long result = ::syscall(info->si_syscall, r[REG_RDI], r[REG_RSI], r[REG_RDX], r[REG_R10],
                                  r[REG_R8], kPassMark);
    r[REG_RAX] = result == -1 ? -errno : result;
#elif defined(__aarch64__)
    auto& x = uc->uc_mcontext.regs;
    const long result = ::syscall(info->si_syscall, x[0], x[1], x[2], x[3], x[4], kPassMark);
    x[0] = static_cast<unsigned long long>(result == -1 ? -errno : result);
#else
    (void)info;
    (void)uc;
#endif
    errno = savedErrno;
}

constexpr int kFilterRefused = 90;
constexpr int kSaveReturned = 91;
constexpr int kSaveFailed = 92;

struct Trap {
    long nr;
    int arg = -1;  // an argument to test, or none
    bool anyBit = false;
    unsigned value = 0;
};

sock_filter statement(unsigned code, std::size_t k) {
    return {static_cast<std::uint16_t>(code), 0, 0, static_cast<std::uint32_t>(k)};
}

sock_filter jump(unsigned code, std::uint32_t k, unsigned ifTrue, unsigned ifFalse) {
    return {static_cast<std::uint16_t>(code), static_cast<std::uint8_t>(ifTrue),
            static_cast<std::uint8_t>(ifFalse), k};
}

// Traps the calls of the moment, unless they carry the pass mark; allows every other call.
std::vector<sock_filter> filterFor(const std::vector<Trap>& traps) {
    std::vector<sock_filter> f = {
        statement(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        jump(BPF_JMP | BPF_JEQ | BPF_K, kArch, 1, 0),
        statement(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    for (const Trap& t : traps) {
        const bool tested = t.arg >= 0;
        const unsigned char body = tested ? 6 : 4;
        f.push_back(statement(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)));
        f.push_back(jump(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(t.nr), 0, body));
        f.push_back(statement(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[5])));
        f.push_back(jump(BPF_JMP | BPF_JEQ | BPF_K, kPassMark, tested ? 3 : 1, 0));
        if (tested) {
            f.push_back(statement(BPF_LD | BPF_W | BPF_ABS,
                                  offsetof(seccomp_data, args) + 8 * static_cast<unsigned>(t.arg)));
            f.push_back(jump(BPF_JMP | (t.anyBit ? BPF_JSET : BPF_JEQ) | BPF_K, t.value, 0, 1));
        }
        f.push_back(statement(BPF_RET | BPF_K, SECCOMP_RET_TRAP));
        f.push_back(statement(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    }
    f.push_back(statement(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    return f;
}

std::vector<Trap> trapsFor(KillAt at, int temporaryFd) {
    switch (at) {
        case KillAt::TemporaryCreated:  // the only exclusive creation of a save
            return {{SYS_openat, 2, true, O_EXCL}};
        case KillAt::TemporaryWritten:  // the lowest free descriptor is the temporary's
            return {{SYS_write, 0, false, static_cast<unsigned>(temporaryFd)}};
        case KillAt::Replace:
            return {
#ifdef SYS_rename
                {SYS_rename},
#endif
                {SYS_renameat},
                {SYS_renameat2}};
        case KillAt::AfterSave:
            break;
    }
    return {};
}

[[noreturn]] void runChild(KillAt at, const std::function<void()>& save, int nth) {
    callsToPass = nth - 1;
    struct sigaction action {};
    action.sa_sigaction = onTrap;
    action.sa_flags = SA_SIGINFO;
    ::sigaction(SIGSYS, &action, nullptr);
    const int probe = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::close(probe);
    std::vector<sock_filter> filter = filterFor(trapsFor(at, probe));
    sock_fprog program{static_cast<unsigned short>(filter.size()), filter.data()};
    if (kArch == 0 || ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        ::syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &program) != 0)
        ::_exit(kFilterRefused);
    try {
        save();
    } catch (const std::exception&) {
        ::_exit(kSaveFailed);
    }
    if (at == KillAt::AfterSave)
        ::kill(::getpid(), SIGKILL);
    ::_exit(kSaveReturned);
}

}  // namespace

const char* KillAtName(KillAt at) {
    switch (at) {
        case KillAt::TemporaryCreated:
            return "killed as the temporary file is made";
        case KillAt::TemporaryWritten:
            return "killed as the temporary file is written";
        case KillAt::Replace:
            return "killed at the rename";
        case KillAt::AfterSave:
            return "killed after the save";
    }
    return "";
}

SaveRun RunKilledSave(KillAt at, const std::function<void()>& save, int nth) {
    const pid_t child = ::fork();
    if (child < 0)
        return {SaveRun::End::Trouble, "no child process"};
    if (child == 0)
        runChild(at, save, nth);
    int status = 0;
    if (::waitpid(child, &status, 0) != child)
        return {SaveRun::End::Trouble, "the child was lost"};
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        return {SaveRun::End::Killed, {}};
    if (WIFEXITED(status) && WEXITSTATUS(status) == kSaveReturned)
        return {SaveRun::End::Returned, {}};
    if (WIFEXITED(status) && WEXITSTATUS(status) == kFilterRefused)
        return {SaveRun::End::Trouble, "the system-call filter could not be set up"};
    if (WIFEXITED(status) && WEXITSTATUS(status) == kSaveFailed)
        return {SaveRun::End::Trouble, "the save failed"};
    return {SaveRun::End::Trouble, "the child ended otherwise, status " + std::to_string(status)};
}

void KillAtEveryMoment(const std::function<void()>& prepare, const std::function<void()>& save,
                       const std::function<void(const std::string& moment, bool saved)>& check) {
    constexpr int kMostReplaces = 64;
    for (const KillAt at :
         {KillAt::TemporaryCreated, KillAt::TemporaryWritten, KillAt::Replace, KillAt::AfterSave}) {
        for (int nth = 1; nth <= kMostReplaces; ++nth) {
            const std::string moment =
                std::string(KillAtName(at)) + " (replace " + std::to_string(nth) + ")";
            prepare();
            const SaveRun run = RunKilledSave(at, save, nth);
            if (run.end == SaveRun::End::Trouble) {
                ADD_FAILURE() << moment << ": " << run.trouble;
                return;
            }
            if (run.end == SaveRun::End::Returned && nth == 1) {
                ADD_FAILURE() << moment << ": the save never came to it";
                return;
            }
            const bool saved = run.end == SaveRun::End::Returned || at == KillAt::AfterSave;
            check(moment, saved);
            if (saved)
                break;
        }
    }
}

}  // namespace testing_support
