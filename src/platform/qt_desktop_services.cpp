#include "platform/qt_desktop_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QSerialPortInfo>
#include <QStringList>
#include <QUrl>

void QtBeeper::beep() {
    QApplication::beep();
}

void QtDialogs::showError(const std::string& text) {
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(),
                          QString::fromStdString(text));
}

namespace {

// A box the operator must see: in front, and above the window however it is clicked.
void showInFront(QMessageBox& box) {
    box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);
    box.show();
    box.raise();
    box.activateWindow();
}

}  // namespace

void QtDialogs::inform(const std::string& text) {
    QMessageBox box(QMessageBox::Information, QApplication::applicationName(),
                    QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    showInFront(box);
    box.exec();
}

bool QtDialogs::confirm(const std::string& text, const std::string& title,
                        Default defaultButton) {
    // No owner and not modal: the main window stays usable while the question waits.
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No);
    box.setWindowModality(Qt::NonModal);
    box.setDefaultButton(defaultButton == Default::No ? QMessageBox::No : QMessageBox::Yes);
    QEventLoop loop;
    QObject::connect(&box, &QMessageBox::finished, &loop, &QEventLoop::quit);
    showInFront(box);
    loop.exec();
    return box.result() == QMessageBox::Yes;
}

std::optional<std::string> QtDialogs::openFile(const std::string& initialFolder,
                                               const std::string& filters) {
    const QString path = QFileDialog::getOpenFileName(
        QApplication::activeWindow(), QString(), QString::fromStdString(initialFolder),
        QString::fromStdString(qtFileFilter(filters)));
    if (path.isEmpty()) return std::nullopt;
    // Qt hands over '/' on every system; the operator's folders use the system's separator.
    return QDir::toNativeSeparators(path).toStdString();
}

namespace {

// The patterns of one entry, ";"-separated as the core writes them, as Qt
// wants them. Qt takes "*.*" literally outside Windows, where it hides every
// name without a dot; "*" is what "every file" means there.
QString qtPatterns(const QString& patterns) {
    QStringList result;
    for (const QString& pattern : patterns.split(';', Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
#ifdef _WIN32
        result << trimmed;
#else
        result << (trimmed == QStringLiteral("*.*") ? QStringLiteral("*") : trimmed);
#endif
    }
    return result.join(' ');
}

}  // namespace

std::string qtFileFilter(const std::string& filters) {
    const QStringList parts = QString::fromStdString(filters).split('|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        entries << parts[i] + " (" + qtPatterns(parts[i + 1]) + ")";
    }
    return entries.join(";;").toStdString();
}

std::string QtSystemServices::executablePath() {
    // The core joins its files to this folder with the system's separator.
    return QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toStdString();
}

void QtSystemServices::openUrl(const std::string& url) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void QtSystemServices::startProcess(const std::string& path, const std::vector<std::string>& args,
                                    bool /*hidden: a GUI program shows its own window*/) {
    QStringList arguments;
    for (const auto& arg : args) arguments << QString::fromStdString(arg);
    QProcess::startDetached(QString::fromStdString(path), arguments);
}

void QtSystemServices::requestQuit() {
    quitRequested_ = true;
    QCoreApplication::exit(0);
}

std::vector<std::string> QtPortEnumerator::listPorts() {
    std::vector<std::string> names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        names.push_back(info.portName().toStdString());
    }
    return names;
}
