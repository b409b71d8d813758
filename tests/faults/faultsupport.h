#pragma once
// Helpers shared by the fault tests: work done in a child process under a file-size limit
// (a full disk as write() sees it: EFBIG) or as another user.

#include "support/files.h"

#include <QString>

#include <functional>
#include <sys/resource.h>

namespace quorvik::faults {

using namespace quorvik::testing;

// An HTML document of a title and `paragraphs` numbered paragraphs ("Paragraph 0 ..."), CR LF.
QByteArray Paragraphs(int paragraphs);
// The reason a write beyond the file-size limit gives.
QString FileTooLarge();

// Runs `body` in a forked child whose files may grow to `maxBytes` at most, with SIGXFSZ
// ignored so that a write beyond the limit fails with EFBIG instead of killing the child.
// The child's exit status is `body`'s result (0 to 125); 126 and above mean it died.
int RunWithFileSizeLimit(long maxBytes, const std::function<int()>& body);

// Runs `body` in a forked child that has given up root for the uid and gid 65534, so that
// files of mode 0600 owned by root are unreadable to it. Returns the child's exit status.
int RunAsOtherUser(const std::function<int()>& body);

// Lets files of this process grow to `maxBytes` only, while it lives; writes beyond fail with
// EFBIG. For a process that cannot safely be forked (a window): the soft limit is set here and
// lifted afterwards.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long maxBytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct rlimit old_ {};
    void (*oldHandler_)(int) = nullptr;
};

}  // namespace quorvik::faults
