#include "common/ControlsContext.h"

namespace quorvel {

bool ControlsContext::Activate(HMODULE module, int manifestId) {
    if (active_)
        return true;
    ACTCTXW actctx{};
    actctx.cbSize = sizeof actctx;
    actctx.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    actctx.hModule = module;
    actctx.lpResourceName = MAKEINTRESOURCEW(manifestId);
    context_ = ::CreateActCtxW(&actctx);
    if (context_ == INVALID_HANDLE_VALUE)
        return false;
    active_ = ::ActivateActCtx(context_, &cookie_) != FALSE;
    return active_;
}

ControlsContext::~ControlsContext() {
    if (active_)
        ::DeactivateActCtx(0, cookie_);
    if (context_ != INVALID_HANDLE_VALUE)
        ::ReleaseActCtx(context_);
}

} // namespace quorvel
