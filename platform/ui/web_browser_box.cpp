// The web-browser box over QNetworkAccessManager: asynchronous on the window thread, so a download
// never freezes the window.
#include "platform/ui/web_browser_box.h"

#include "platform/shell/open.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/qt_bridge.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>
#include <QHBoxLayout>

namespace platform::ui {
namespace {

WebBrowserBox::DownloadPromptHandler gPromptHandler;
std::chrono::milliseconds gStallTimeout{30000};

// The file name a download is offered under: the Content-Disposition name, else the last part of
// the address's path, else "download".
QString offeredFileName(QNetworkReply *reply)
{
    const QString disposition = QString::fromLatin1(reply->rawHeader("Content-Disposition"));
    const qsizetype at = disposition.indexOf(QStringLiteral("filename="), 0, Qt::CaseInsensitive);
    if (at >= 0) {
        QString name = disposition.mid(at + 9).section(QLatin1Char(';'), 0, 0).trimmed();
        name.remove(QLatin1Char('"'));
        name = name.section(QLatin1Char('/'), -1);
        if (!name.isEmpty())
            return name;
    }
    const QString last = reply->url().path().section(QLatin1Char('/'), -1);
    return last.isEmpty() ? QStringLiteral("download") : last;
}

bool isPage(QNetworkReply *reply)
{
    const QString disposition = QString::fromLatin1(reply->rawHeader("Content-Disposition"));
    if (disposition.contains(QStringLiteral("attachment"), Qt::CaseInsensitive))
        return false;
    const QString type = reply->header(QNetworkRequest::ContentTypeHeader).toString().toLower();
    return type.startsWith(QStringLiteral("text/html")) || type.startsWith(QStringLiteral("application/xhtml"));
}

QString failureText(QNetworkReply *reply)
{
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    switch (reply->error()) {
    case QNetworkReply::ContentNotFoundError:
        return QStringLiteral("找不到要下载的文件 (404)");
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        return QStringLiteral("无法连接到服务器，请检查网络");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("无法建立安全连接（证书无效）");
    case QNetworkReply::OperationCanceledError:
    case QNetworkReply::TimeoutError:
        return QStringLiteral("连接超时");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("下载中断：服务器关闭了连接");
    default: // Qt's long list of other errors: the status or Qt's own words below
        break;
    }
    if (status >= 400)
        return QStringLiteral("服务器错误 (%1)").arg(status);
    return QStringLiteral("下载失败：%1").arg(reply->errorString());
}

} // namespace

struct WebBrowserBox::Impl {
    WebBrowserBox *box = nullptr;
    QLabel *addressLabel = nullptr;
    QNetworkAccessManager *network = nullptr;
    QNetworkReply *reply = nullptr;
    QWidget *panel = nullptr;
    QLabel *panelMessage = nullptr;
    QProgressBar *panelProgress = nullptr;
    QPushButton *panelButton = nullptr;
    QFile *file = nullptr;

    QString address;
    State state = State::Idle;
    QString message;
    QString target;       // full path of the finished file
    DownloadChoice choice = DownloadChoice::Cancel;
    bool deciding = false;
    bool finishedWhileDeciding = false;
    bool userCancelled = false;
    int percent = -1;
    qint64 received = 0; // as last reported, also while the prompt was open
    qint64 total = -1;

    void ensurePanel()
    {
        if (panel)
            return;
        panel = new QWidget(box->widget()->window(), Qt::Dialog);
        panel->setObjectName(box->widget()->objectName() + QStringLiteral("_下载"));
        panel->setWindowTitle(QStringLiteral("文件下载"));
        panel->setFixedSize(360, 110);
        auto *layout = new QVBoxLayout(panel);
        panelMessage = new QLabel(panel);
        panelMessage->setObjectName(QStringLiteral("消息"));
        panelMessage->setWordWrap(true);
        panelProgress = new QProgressBar(panel);
        panelProgress->setObjectName(QStringLiteral("进度"));
        panelProgress->setRange(0, 100);
        panelButton = new QPushButton(QStringLiteral("取消"), panel);
        panelButton->setObjectName(QStringLiteral("按钮"));
        auto *row = new QHBoxLayout;
        row->addStretch();
        row->addWidget(panelButton);
        layout->addWidget(panelMessage);
        layout->addWidget(panelProgress);
        layout->addLayout(row);
        QObject::connect(panelButton, &QPushButton::clicked, panel, [this] {
            if (state == State::Downloading || state == State::Connecting)
                box->cancelDownload();
            else
                panel->hide();
        });
    }

    void showPanel(const QString &text, bool busy)
    {
        ensurePanel();
        message = text;
        panelMessage->setText(text);
        panelProgress->setVisible(busy);
        panelButton->setText(busy ? QStringLiteral("取消") : QStringLiteral("关闭"));
        panel->show();
    }

    void dropFile(bool remove)
    {
        if (!file)
            return;
        file->close();
        if (remove)
            file->remove();
        delete file;
        file = nullptr;
    }

    void releaseReply()
    {
        if (!reply)
            return;
        QNetworkReply *old = reply;
        reply = nullptr;
        old->disconnect();
        old->abort();
        old->deleteLater();
    }

    void fail(const QString &text)
    {
        dropFile(true);
        state = State::Failed;
        showPanel(QStringLiteral("无法下载 %1\n%2").arg(address, text), false);
    }

    // The answer's head arrived: a page is only shown by address; a file is offered for download.
    void onHead()
    {
        if (!reply || state != State::Connecting || deciding)
            return;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 300)
            return; // a redirect being followed, or an error the end of the reply reports
        if (isPage(reply)) {
            state = State::PageShown;
            addressLabel->setText(reply->url().toString());
            releaseReply();
            return;
        }
        const QString name = offeredFileName(reply);
        deciding = true;
        choice = ask(name);
        QString path;
        if (choice == DownloadChoice::Save) {
            const auto chosen = askSaveFileName(box->widget()->window(),
                                                downloadsFolder() + "/" + fromQString(name));
            if (chosen)
                path = toQString(*chosen);
            else
                choice = DownloadChoice::Cancel;
        } else if (choice == DownloadChoice::Open) {
            const QString folder = QDir::tempPath() + QStringLiteral("/KelmTools-downloads");
            QDir().mkpath(folder);
            path = folder + QLatin1Char('/') + name;
        }
        deciding = false;
        if (!reply)
            return; // navigated elsewhere or destroyed while the prompt was open
        if (choice == DownloadChoice::Cancel) {
            state = State::Cancelled;
            releaseReply();
            return;
        }
        target = path;
        file = new QFile(path + QStringLiteral(".part"));
        if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            releaseReply();
            fail(QStringLiteral("无法写入文件 %1").arg(path));
            return;
        }
        state = State::Downloading;
        showPanel(QStringLiteral("正在下载 %1").arg(name), true);
        onProgress(received, total);
        onData();
        if (finishedWhileDeciding)
            onFinished();
    }

    DownloadChoice ask(const QString &name)
    {
        if (gPromptHandler) {
            DownloadPromptHandler handler = gPromptHandler;
            return handler(fromQString(name));
        }
        QMessageBox prompt(QMessageBox::Question, QStringLiteral("文件下载"),
                           QStringLiteral("要打开或保存 %1 吗？").arg(name), QMessageBox::NoButton,
                           box->widget()->window());
        QPushButton *open = prompt.addButton(QStringLiteral("打开"), QMessageBox::AcceptRole);
        QPushButton *save = prompt.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
        prompt.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
        prompt.exec();
        if (prompt.clickedButton() == open)
            return DownloadChoice::Open;
        if (prompt.clickedButton() == save)
            return DownloadChoice::Save;
        return DownloadChoice::Cancel;
    }

    // Writes what arrived and shows the share of the announced length (the network layer's own
    // progress signal is throttled and may skip the last chunk before a pause).
    void onData()
    {
        if (!reply || !file || state != State::Downloading)
            return;
        file->write(reply->readAll());
        const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
        onProgress(file->size(), announced.isValid() ? announced.toLongLong() : -1);
    }

    void onProgress(qint64 receivedNow, qint64 totalNow)
    {
        received = receivedNow;
        total = totalNow;
        if (state != State::Downloading || !panelProgress)
            return;
        if (total > 0) {
            percent = static_cast<int>(received * 100 / total);
            panelProgress->setRange(0, 100);
            panelProgress->setValue(percent);
        } else {
            percent = -1;
            panelProgress->setRange(0, 0);
        }
    }

    void onFinished()
    {
        if (!reply)
            return;
        if (deciding) {
            finishedWhileDeciding = true;
            return;
        }
        if (reply->error() != QNetworkReply::NoError) {
            const QString text = failureText(reply);
            releaseReply();
            fail(text);
            return;
        }
        if (state == State::Connecting)
            onHead(); // a file whose head and body came together
        if (!reply || state != State::Downloading)
            return;
        onData();
        // A peer that closes the connection early is not an error to the network layer; a body
        // shorter than its announced length is one here.
        const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
        const bool cutShort = announced.isValid() && file->size() != announced.toLongLong();
        releaseReply();
        if (cutShort) {
            fail(QStringLiteral("下载中断：文件不完整"));
            return;
        }
        file->close();
        QFile::remove(target);
        if (!file->rename(target)) {
            fail(QStringLiteral("无法写入文件 %1").arg(target));
            return;
        }
        dropFile(false);
        state = State::Finished;
        percent = 100;
        showPanel(QStringLiteral("下载完成：%1").arg(target), false);
        if (choice == DownloadChoice::Open)
            platform::shell::openWithDesktop(fromQString(target));
    }
};

WebBrowserBox::WebBrowserBox(Control &parent, std::string_view name, Rect rect, bool visible)
    : d_(std::make_unique<Impl>())
{
    d_->box = this;
    auto *label = new QLabel;
    label->setFrameShape(QFrame::StyledPanel);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    d_->addressLabel = label;
    attach(label, &parent, name, rect);
    d_->network = new QNetworkAccessManager(label);
    setVisible(visible);
}

WebBrowserBox::~WebBrowserBox()
{
    d_->releaseReply();
    d_->dropFile(true);
}

void WebBrowserBox::navigate(std::string_view url)
{
    d_->releaseReply();
    d_->dropFile(true);
    d_->address = toQString(url);
    d_->addressLabel->setText(d_->address);
    d_->state = State::Connecting;
    d_->message.clear();
    d_->target.clear();
    d_->percent = -1;
    d_->received = 0;
    d_->total = -1;
    d_->userCancelled = false;
    d_->finishedWhileDeciding = false;
    if (d_->panel)
        d_->panel->hide();

    QNetworkRequest request{QUrl::fromUserInput(d_->address)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(static_cast<int>(gStallTimeout.count()));
    QNetworkReply *reply = d_->network->get(request);
    d_->reply = reply;
    Impl *d = d_.get();
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [d] { d->onHead(); });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [d] {
        if (d->state == State::Connecting)
            d->onHead();
        d->onData();
    });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [d](qint64 received, qint64 total) { d->onProgress(received, total); });
    QObject::connect(reply, &QNetworkReply::finished, reply, [d] { d->onFinished(); });
}

std::string WebBrowserBox::address() const { return fromQString(d_->address); }
WebBrowserBox::State WebBrowserBox::state() const { return d_->state; }
std::string WebBrowserBox::message() const { return fromQString(d_->message); }
std::string WebBrowserBox::downloadedFile() const
{
    return d_->state == State::Finished ? fromQString(d_->target) : std::string();
}
int WebBrowserBox::progressPercent() const { return d_->percent; }
QWidget *WebBrowserBox::downloadWindow() const { return d_->panel; }

void WebBrowserBox::cancelDownload()
{
    if (d_->state != State::Downloading && d_->state != State::Connecting)
        return;
    d_->userCancelled = true;
    d_->releaseReply();
    d_->dropFile(true);
    d_->state = State::Cancelled;
    if (d_->panel)
        d_->panel->hide();
}

void WebBrowserBox::setDownloadPromptHandler(DownloadPromptHandler handler) { gPromptHandler = std::move(handler); }
void WebBrowserBox::setStallTimeoutForTesting(std::chrono::milliseconds timeout) { gStallTimeout = timeout; }

std::string downloadsFolder()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/Downloads");
    QDir().mkpath(folder);
    return fromQString(folder);
}

} // namespace platform::ui
