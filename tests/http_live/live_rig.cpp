#include "live_rig.h"

#include <random>

#include "platform/qt_test_app.h"

LiveRig::LiveRig() {
    ensureQtApp();
    client.OnDocBegin = [this](THttpCli& cli) {
        events.push_back("begin");
        file_ = std::make_unique<FileStream>(folder.file("document"));
        cli.RcvdStream = file_.get();
    };
    client.OnDocEnd = [this](THttpCli& cli) {
        events.push_back("end");
        cli.RcvdStream = nullptr;
        file_->close();
        file_.reset();
    };
}

std::optional<EHttpException> LiveRig::get(const std::string& url) {
    client.URL = url;
    try {
        client.Get();
    } catch (const EHttpException& error) {
        events.push_back("raised");
        return error;
    }
    return std::nullopt;
}

std::string randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}
