// The web-browser box: the program uses its embedded browser controls only to start downloads, so
// this stand-in navigates to an address and, when the answer is a file, does what a browser's
// download prompt does: asks "open" or "save" (save: a save dialog, suggesting the downloads folder),
// downloads with a progress bar and a cancel button in the box's own small download window, and opens
// the finished file with the desktop when asked. A page (HTML) is not rendered: the box only shows
// its address. Failures (no connection, a certificate that does not verify, 404, a transfer cut
// short, 30 s without data) are shown as a message in that download window; nothing ever blocks the
// window thread except the prompt and the dialog themselves.
//
// Addresses and paths are GBK. Window thread only. Tests answer the prompt with
// setDownloadPromptHandler, the save dialog with setFileDialogHandler (file_dialog.h) and the
// desktop's "open" with platform::shell::setOpenHandlerForTesting.
#pragma once

#include "platform/ui/control.h"

#include <chrono>
#include <memory>

namespace platform::ui {

class WebBrowserBox : public Control {
public:
    enum class State {
        Idle,        // nothing navigated yet
        Connecting,  // waiting for the answer's head
        PageShown,   // the address was a page
        Downloading, // a file is being written
        Finished,    // the file is complete (downloadedFile())
        Failed,      // message() says why
        Cancelled,   // the user declined or cancelled
    };
    enum class DownloadChoice { Open, Save, Cancel };

    WebBrowserBox(Control &parent, std::string_view name, Rect rect, bool visible = true);
    ~WebBrowserBox() override;

    // Starts navigating to `url` and returns at once; an earlier download is cancelled.
    void navigate(std::string_view url);
    std::string address() const;

    State state() const;
    // The download window's message ("" until there is one).
    std::string message() const;
    // Full path of the finished file (Finished), else empty.
    std::string downloadedFile() const;
    // Percent received, -1 while the size is unknown.
    int progressPercent() const;
    // What the cancel button does.
    void cancelDownload();
    // The small download window (prompt answers, progress, messages); null before it was needed.
    QWidget *downloadWindow() const;

    // Answers the download prompt instead of the user (tests); the argument is the file name. Empty
    // restores the real prompt.
    using DownloadPromptHandler = std::function<DownloadChoice(const std::string &fileName)>;
    static void setDownloadPromptHandler(DownloadPromptHandler handler);
    // Time without data after which a transfer fails (default 30 s); for tests.
    static void setStallTimeoutForTesting(std::chrono::milliseconds timeout);

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// The user's downloads folder (XDG_DOWNLOAD_DIR, else ~/Downloads), created if missing; no trailing
// separator.
std::string downloadsFolder();

} // namespace platform::ui
