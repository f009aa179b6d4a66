#include "vst3/Vst3View.h"

#include "vst3/Vst3Effect.h"

#include <cstring>
#include <new>

namespace qx::vst3 {

namespace {

constexpr ViewRect kPanelRect{0, 0, PanelEditor::kWidth, PanelEditor::kHeight};

} // namespace

Vst3View* Vst3View::create(Vst3Effect& effect) {
    return new (std::nothrow) Vst3View(effect);
}

Vst3View::Vst3View(Vst3Effect& effect) : effect_(effect), panel_(effect.panel()) {
    effect_.addRef();
}

Vst3View::~Vst3View() {
    removed();
    setFrame(nullptr);
    effect_.viewClosed(this);
    effect_.release();
}

tresult Vst3View::queryInterface(const TUID iid, void** obj) {
    if (obj == nullptr) return kInvalidArgument;
    *obj = nullptr;
    if (iid == nullptr) return kInvalidArgument;
    if (FUnknown::iid.equals(iid) || IPlugView::iid.equals(iid))
        *obj = static_cast<IPlugView*>(this);
    else if (ITimerHandler::iid.equals(iid))
        *obj = static_cast<ITimerHandler*>(this);
    else if (IEventHandler::iid.equals(iid))
        *obj = static_cast<IEventHandler*>(this);
    else
        return kNoInterface;
    addRef();
    return kResultOk;
}

uint32 Vst3View::addRef() {
    return refCount_.fetch_add(1, std::memory_order_relaxed) + 1;
}

uint32 Vst3View::release() {
    const uint32 left = refCount_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

tresult Vst3View::isPlatformTypeSupported(FIDString type) {
    const FIDString ours = platformType();
    return type != nullptr && ours != nullptr && std::strcmp(type, ours) == 0 ? kResultTrue
                                                                              : kResultFalse;
}

tresult Vst3View::attached(void* parent, FIDString type) {
    if (parent == nullptr || isPlatformTypeSupported(type) != kResultTrue) return kInvalidArgument;
    if (attached_ || panel_.open(parent) == 0) return kResultFalse;
    if (needsRunLoop() && !startClock()) {
        panel_.close();
        return kResultFalse;
    }
    attached_ = true;
    return kResultOk;
}

tresult Vst3View::removed() {
    if (!attached_) return kResultFalse;
    stopClock();
    panel_.close();
    attached_ = false;
    return kResultOk;
}

tresult Vst3View::getSize(ViewRect* size) {
    if (size == nullptr) return kInvalidArgument;
    *size = kPanelRect;
    return kResultOk;
}

tresult Vst3View::onSize(ViewRect* newSize) {
    if (newSize == nullptr) return kInvalidArgument;
    const bool same = newSize->right - newSize->left == kPanelRect.right &&
                      newSize->bottom - newSize->top == kPanelRect.bottom;
    return same ? kResultOk : kResultFalse;
}

tresult Vst3View::setFrame(IPlugFrame* frame) {
    if (frame == frame_) return kResultOk;
    if (frame != nullptr) frame->addRef();
    if (frame_ != nullptr) frame_->release();
    frame_ = frame;
    return kResultOk;
}

tresult Vst3View::checkSizeConstraint(ViewRect* rect) {
    if (rect == nullptr) return kInvalidArgument;
    rect->right = rect->left + kPanelRect.right;
    rect->bottom = rect->top + kPanelRect.bottom;
    return kResultOk;
}

void Vst3View::onTimer() {
    panel_.idle();
}

void Vst3View::onFDIsSet(FileDescriptor) {
    panel_.idle();
}

bool Vst3View::startClock() {
    if (frame_ == nullptr ||
        frame_->queryInterface(IRunLoop::iid.bytes, reinterpret_cast<void**>(&runLoop_)) !=
            kResultOk ||
        runLoop_ == nullptr) {
        runLoop_ = nullptr;
        return false;
    }
    if (runLoop_->registerTimer(this, PanelEditor::kTickMs) != kResultOk) {
        stopClock();
        return false;
    }
    const int fd = panel_.eventFd();
    watchingFd_ = fd >= 0 && runLoop_->registerEventHandler(this, fd) == kResultOk;
    return true;
}

void Vst3View::stopClock() {
    if (runLoop_ == nullptr) return;
    if (watchingFd_) runLoop_->unregisterEventHandler(this);
    runLoop_->unregisterTimer(this);
    watchingFd_ = false;
    runLoop_->release();
    runLoop_ = nullptr;
}

} // namespace qx::vst3
