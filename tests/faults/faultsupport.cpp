#include "faultsupport.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvik::faults {

namespace {

// Runs `body` in a forked child and returns its exit status, 128 + the signal if it died.
int RunInChild(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        return 127;
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

QByteArray Paragraphs(int paragraphs)
{
    QByteArray doc = "<html><head><title>Doc</title></head><body>\r\n";
    for (int i = 0; i < paragraphs; ++i)
        doc += "<p>Paragraph " + QByteArray::number(i) + " with some words to fill the line &amp; more.</p>\r\n";
    return doc + "</body></html>\r\n";
}

QString FileTooLarge()
{
    return QString::fromLocal8Bit(std::strerror(EFBIG));
}

int RunWithFileSizeLimit(long maxBytes, const std::function<int()>& body)
{
    return RunInChild([&] {
        const FileSizeLimit limit(maxBytes);
        return body();
    });
}

int RunAsOtherUser(const std::function<int()>& body)
{
    return RunInChild([&] { return ::setgid(65534) != 0 || ::setuid(65534) != 0 ? 127 : body(); });
}

FileSizeLimit::FileSizeLimit(long maxBytes)
{
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &old_);
    struct rlimit limit = old_;
    limit.rlim_cur = static_cast<rlim_t>(maxBytes);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit()
{
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
}

}  // namespace quorvik::faults
