#include "app/caret_automation.h"

#include <cmath>

bool CAutomationCaret::Connect() {
    if (!m_tried) {
        m_tried = true;
        // UIAutomationCore is loaded by COM here, so Windows versions
        // without it simply have no UI Automation caret.
        m_oleaut.Reset(::LoadLibraryA("oleaut32.dll"));
        m_safeArrayDestroy = m_oleaut
                                 ? reinterpret_cast<SafeArrayDestroyFn>(reinterpret_cast<void*>(
                                       ::GetProcAddress(m_oleaut.Get(), "SafeArrayDestroy")))
                                 : nullptr;
        if (m_safeArrayDestroy) {
            ::CoCreateInstance(uia::kClsidAutomation8, nullptr, CLSCTX_INPROC_SERVER,
                               uia::kIidAutomation2, m_automation.PutVoid());
        }
    }
    return static_cast<bool>(m_automation);
}

// The top-left rectangle of the range; a caret range is empty, and many
// programs give no rectangle for it, but do for the character it stands at.
bool CAutomationCaret::RangeRect(uia::ITextRange* range, pikora::ScreenRect& rect) {
    return FirstRect(range, rect) ||
           (SUCCEEDED(range->ExpandToEnclosingUnit(uia::kTextUnitCharacter)) &&
            FirstRect(range, rect));
}

bool CAutomationCaret::FirstRect(uia::ITextRange* range, pikora::ScreenRect& rect) {
    SAFEARRAY* rects = nullptr;
    if (FAILED(range->GetBoundingRectangles(&rects)) || !rects) {
        return false;
    }
    bool found = false;
    if (rects->cDims == 1 && rects->cbElements == sizeof(double) &&
        rects->rgsabound[0].cElements >= 4) {
        const auto* d = static_cast<const double*>(rects->pvData);
        rect = {static_cast<int>(std::lround(d[0])), static_cast<int>(std::lround(d[1])),
                static_cast<int>(std::lround(d[0] + d[2])),
                static_cast<int>(std::lround(d[1] + d[3]))};
        found = true;
    }
    m_safeArrayDestroy(rects);
    return found;
}

pikora::CaretAnswer CAutomationCaret::Ask(int budgetMs) {
    pikora::CaretAnswer answer;
    if (budgetMs <= 0 || !Connect()) {
        return answer;
    }
    // Without these a hung program holds every call for seconds.
    if (FAILED(m_automation->put_ConnectionTimeout(static_cast<DWORD>(budgetMs))) ||
        FAILED(m_automation->put_TransactionTimeout(static_cast<DWORD>(budgetMs)))) {
        return answer;
    }
    ui::ComPtr<uia::IElement> focused;
    if (FAILED(m_automation->GetFocusedElement(focused.Put())) || !focused) {
        return answer;
    }
    ui::ComPtr<uia::ITextRange> range;
    ui::ComPtr<uia::ITextPattern2> text2;
    if (SUCCEEDED(focused->GetCurrentPatternAs(uia::kTextPattern2Id, uia::kIidTextPattern2,
                                               text2.PutVoid())) &&
        text2) {
        BOOL active = FALSE;
        text2->GetCaretRange(&active, range.Put());
    }
    if (!range) {
        ui::ComPtr<uia::ITextPattern> text;
        ui::ComPtr<uia::ITextRangeArray> selection;
        int count = 0;
        if (SUCCEEDED(focused->GetCurrentPatternAs(uia::kTextPatternId, uia::kIidTextPattern,
                                                   text.PutVoid())) &&
            text && SUCCEEDED(text->GetSelection(selection.Put())) && selection &&
            SUCCEEDED(selection->get_Length(&count)) && count > 0) {
            selection->GetElement(0, range.Put());
        }
    }
    if (range && RangeRect(range.Get(), answer.rect)) {
        answer.kind = pikora::CaretAnswer::kRect;
    }
    return answer;
}
