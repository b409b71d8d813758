#pragma once

namespace quorvik {

// Which link targets the conversion writes. Read at the moment of each use, never cached:
// the window backs it with its three toggles, the command line with its options.
class LinkSwitches {
public:
    virtual ~LinkSwitches() = default;
    virtual bool WebLinks() const = 0;    // quoted targets beginning with "http:"
    virtual bool MailLinks() const = 0;   // quoted targets beginning with "mailto:"
    virtual bool OtherLinks() const = 0;  // any other quoted anchor target
};

// Fixed switches, for the command line and tests.
class FixedLinkSwitches final : public LinkSwitches {
public:
    FixedLinkSwitches(bool web = false, bool mail = false, bool other = false)
        : web_(web), mail_(mail), other_(other) {}
    bool WebLinks() const override { return web_; }
    bool MailLinks() const override { return mail_; }
    bool OtherLinks() const override { return other_; }

private:
    bool web_, mail_, other_;
};

}  // namespace quorvik
