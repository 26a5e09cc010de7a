#include "ui_win32/win32_main_window_view.h"

#include <commctrl.h>

#include <stdexcept>
#include <string>

#include "platform_win32/win32_message_pump.h"
#include "platform_win32/win32_text.h"
#include "ui_win32/win32_dpi.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TelvarnMainWindow";
constexpr int kLogId = 1;
constexpr int kStatusId = 2;
// A title, a system menu, minimise and close, a frame to size it: no maximise.
constexpr DWORD kStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
// IDC_ARROW and IDI_APPLICATION, spelled for the wide calls.
const LPCWSTR kArrowCursor = MAKEINTRESOURCEW(32512);
const LPCWSTR kApplicationIcon = MAKEINTRESOURCEW(32512);
// Sent when the window moves to a screen of another DPI (Windows 8.1 on).
constexpr UINT kDpiChanged = 0x02E0;

// The program's own icon at a size of the system's, or the system's stock one.
HICON classIcon(int widthMetric) {
    const HICON icon = loadProgramIcon(GetModuleHandleW(nullptr), GetSystemMetrics(widthMetric));
    return icon != nullptr ? icon : LoadIconW(nullptr, kApplicationIcon);
}

void registerClass(WNDPROC procedure) {
    static const ATOM atom = [procedure] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, kArrowCursor);
        // Kept as long as the class; each window gets its own for its DPI.
        windowClass.hIcon = classIcon(SM_CXICON);
        windowClass.hIconSm = classIcon(SM_CXSMICON);
        // The frame's sky blue; the brush lives as long as the class.
        const Rgb sky = kSkyBlue;
        windowClass.hbrBackground = CreateSolidBrush(RGB(sky.red, sky.green, sky.blue));
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassExW(&windowClass);
    }();
    if (atom == 0) throw std::runtime_error("the main window's class could not be registered");
}

}  // namespace

Win32MainWindowView::Win32MainWindowView(MainWindow& model, MessagePump& pump)
    : model_(model),
      win32Pump_(dynamic_cast<Win32MessagePump*>(&pump)),
      menuBar_(model.menu, pump),
      dpi_(kPlainDpi) {
    try {
        create();
    } catch (...) {
        // The window must not outlive a view that never was.
        if (window_ != nullptr) DestroyWindow(window_);
        throw;
    }
    if (win32Pump_ != nullptr) {
        win32Pump_->setMessageFilter(
            [this](MSG& message) { return translateAccelerator(message); });
    }
}

Win32MainWindowView::~Win32MainWindowView() {
    if (win32Pump_ != nullptr) win32Pump_->setMessageFilter(nullptr);
    // The window did not close: no quit message.
    if (window_ != nullptr) DestroyWindow(window_);
    if (font_ != nullptr) DeleteObject(font_);
}

void Win32MainWindowView::create() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    registerClass(&Win32MainWindowView::procedure);

    const WindowFrame& frame = model_.frame;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // The frame's place is the window's from the start; with no binding yet,
    // nothing is reported back.
    CreateWindowExW(0, kWindowClass, utf8ToWide(frame.caption()).c_str(), kStyle, frame.left(),
                    frame.top(), frame.width(), frame.height(), nullptr, menuBar_.handle(),
                    instance, this);
    if (window_ == nullptr) {
        throw std::runtime_error("the main window could not be created (error " +
                                 std::to_string(GetLastError()) + ")");
    }
    menuBar_.attachTo(window_);

    status_ = CreateWindowExW(
        0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusId)), instance, nullptr);
    if (status_ == nullptr) throw std::runtime_error("the status bar could not be created");
    logView_ = std::make_unique<Win32LogView>(model_.log, window_, kLogId);
    logView_->setOnDoubleClick([this] { binding_->logDoubleClicked(); });
    applyDpi();
    binding_.emplace(model_, *this);
}

void Win32MainWindowView::show(int how) {
    // The window appears with the start-up lines already in its log.
    if (logView_) logView_->flush();
    if (binding_) binding_->place();
    ShowWindow(window_, how);
    UpdateWindow(window_);
}

void Win32MainWindowView::showStatusText(const std::string& text) {
    SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(utf8ToWide(text).c_str()));
}

// The window's outer rectangle, placed and read back alike, so that a start
// puts the window exactly where the last close left it.
void Win32MainWindowView::place(const WindowPlace& place) {
    SetWindowPos(window_, nullptr, place.left, place.top, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

WindowPlace Win32MainWindowView::placement() const {
    RECT area{};
    GetWindowRect(window_, &area);
    return {static_cast<int>(area.left), static_cast<int>(area.top),
            static_cast<int>(area.right - area.left), static_cast<int>(area.bottom - area.top)};
}

void Win32MainWindowView::closeLater() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
}

void Win32MainWindowView::repaintNow() {
    logView_->flush();
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

bool Win32MainWindowView::translateAccelerator(MSG& message) {
    return window_ != nullptr && menuBar_.translateAccelerator(message);
}

LRESULT CALLBACK Win32MainWindowView::procedure(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* view = static_cast<Win32MainWindowView*>(
            reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        view->window_ = window;
        view->dpi_ = dpiOfWindow(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    }
    auto* view = reinterpret_cast<Win32MainWindowView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (view == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        view->window_ = nullptr;
        view->status_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return view->handleMessage(message, wParam, lParam);
}

LRESULT Win32MainWindowView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            // Menus and accelerators send no control handle.
            if (lParam == 0 && menuBar_.command(LOWORD(wParam), HIWORD(wParam) == 1)) return 0;
            break;
        case WM_INITMENUPOPUP:
            // The window's system menu is none of the model's.
            if (HIWORD(lParam) == FALSE) menuBar_.opening(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_NOTIFY: {
            LRESULT result = 0;
            if (logView_ && logView_->notify(*reinterpret_cast<NMHDR*>(lParam), result)) {
                return result;
            }
            break;
        }
        case Win32LogView::kUpdateMessage:
            if (logView_) logView_->flush();
            return 0;
        case WM_SIZE:
            layout();
            moved();
            return 0;
        case WM_MOVE:
            moved();
            return 0;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            // The frame's minimum, as large on the screen whatever its DPI.
            limits->ptMinTrackSize = {scaledForDpi(WindowFrame::kMinimumWidth, dpi_),
                                      scaledForDpi(WindowFrame::kMinimumHeight, dpi_)};
            return 0;
        }
        case kDpiChanged:
            dpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_CONTEXTMENU:
            if (logView_ && reinterpret_cast<HWND>(wParam) == logView_->handle()) {
                logView_->showContextMenu(lParam);
                return 0;
            }
            break;
        case WM_SETFOCUS:
            if (logView_) SetFocus(logView_->handle());
            return 0;
        case WM_CLOSE:
            close();
            return 0;
        case WM_DESTROY:
            detachFromModel();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

void Win32MainWindowView::layout() {
    if (status_ == nullptr || !logView_) return;
    // The status bar places itself at the bottom; the log takes the rest.
    SendMessageW(status_, WM_SIZE, 0, 0);
    RECT client{};
    RECT status{};
    GetClientRect(window_, &client);
    GetWindowRect(status_, &status);
    const int height = client.bottom - (status.bottom - status.top);
    logView_->place(0, 0, client.right, height > 0 ? height : 0);
    // The bar keeps what it painted where it stood: its size grip would stay
    // there beside the new one.
    InvalidateRect(status_, nullptr, TRUE);
}

void Win32MainWindowView::applyDpi() {
    const HFONT font = createMessageFont(dpi_);
    logView_->setFont(font, dpi_);
    SendMessageW(status_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (font_ != nullptr) DeleteObject(font_);
    font_ = font;
    icons_.apply(window_, dpi_);
    layout();
}

// The system suggests the place that keeps the window as large on the new screen.
void Win32MainWindowView::dpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    applyDpi();
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32MainWindowView::moved() {
    // A minimised window stands off the screen; its place is where it was.
    if (binding_ && !IsIconic(window_)) binding_->moved();
}

void Win32MainWindowView::close() {
    if (!binding_->closing()) return;
    DestroyWindow(window_);
    PostQuitMessage(0);
}

void Win32MainWindowView::detachFromModel() {
    binding_.reset();
    logView_.reset();
    menuBar_.windowDestroyed();
}
