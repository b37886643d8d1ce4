#include "app/caret_accessible.h"

#include <oleacc.h>

#include "ui/com.h"

namespace {

// Spelled out: MinGW's IID_IAccessible is an import thunk, not the GUID.
constexpr IID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

}  // namespace

pikora::CaretAnswer CAccessibleCaret::Ask(HWND window, int timeoutMs) {
    pikora::CaretAnswer answer;
    if (!m_objectFromLresult) {
        if (!m_oleacc) {
            m_oleacc.Reset(::LoadLibraryA("oleacc.dll"));
        }
        if (m_oleacc) {
            m_objectFromLresult = reinterpret_cast<ObjectFromLresultFn>(
                reinterpret_cast<void*>(::GetProcAddress(m_oleacc.Get(), "ObjectFromLresult")));
        }
    }
    if (!m_objectFromLresult || !window || timeoutMs <= 0) {
        return answer;
    }
    // Asked directly rather than through AccessibleObjectFromWindow, which
    // waits for a hung program without end. The object id goes zero-extended,
    // as oleacc sends it.
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(
            window, WM_GETOBJECT, 0, static_cast<LPARAM>(static_cast<DWORD>(OBJID_CARET)),
            SMTO_BLOCK | SMTO_ABORTIFHUNG, static_cast<UINT>(timeoutMs), &result)) {
        answer.kind = pikora::CaretAnswer::kNoResponse;
        return answer;
    }
    // 0: the window publishes no caret object of its own.
    if (result == 0) {
        return answer;
    }
    ui::ComPtr<IAccessible> caret;
    if (FAILED(m_objectFromLresult(static_cast<LRESULT>(result), kIidAccessible, 0,
                                   caret.PutVoid())) ||
        !caret) {
        return answer;
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    long left = 0;
    long top = 0;
    long width = 0;
    long height = 0;
    if (caret->accLocation(&left, &top, &width, &height, self) == S_OK) {
        answer.kind = pikora::CaretAnswer::kRect;
        answer.rect = {static_cast<int>(left), static_cast<int>(top),
                       static_cast<int>(left + width), static_cast<int>(top + height)};
    }
    return answer;
}
