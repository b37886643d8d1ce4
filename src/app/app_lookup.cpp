// The clipboard submenu: web search, dictionaries and quoting.
#include "app/popup_app.h"

#include <shellapi.h>

#include "app/clipboard.h"
#include "res/resource.h"
#include "text/lookup_text.h"
#include "ui/wide_text.h"

namespace {

// The browser is the shell's business: it is neither waited for nor asked
// how it went.
void OpenUrl(HWND owner, const std::string& url) {
    ::ShellExecuteW(owner, nullptr, ui::Wide(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

void CPopupApp::OnLookup(UINT id) {
    LookUpClipboardText(id, nullptr, true);
}

void CPopupApp::LookUpClipboardText(UINT id, HWND owner, bool lowerEnglish) {
    std::string text;
    app::GetClipboardText(text);
    switch (id) {
        case ID_WEB_SEARCH:
            OpenWebSearch(owner, text);
            break;
        case ID_DIC_JAPANESE:
            OpenDictionary(owner, text, pikora::kDicJapanese);
            break;
        case ID_DIC_EN_JA:
            // English headwords are looked up in lower case, so a word copied
            // from the start of a sentence is found too.
            OpenDictionary(owner, lowerEnglish ? pikora::ToLowerCp932(text) : text,
                           pikora::kDicEnJa);
            break;
        case ID_DIC_JA_EN:
            OpenDictionary(owner, text, pikora::kDicJaEn);
            break;
        default:
            break;
    }
}

void CPopupApp::OnAddQuote() {
    // Another program may hold the clipboard for a moment (a clipboard tool
    // reading the last copy): the text is waited for as a paste's write is.
    std::string text;
    bool read = false;
    app::Retrying(app::kClipboardAttempts, false, [&] {
        read = app::GetClipboardText(text);
        return read || !::IsClipboardFormatAvailable(CF_TEXT);
    });
    if (!read && ::CountClipboardFormats() > 0) {
        // Something that is not text (a picture, files), or a text that
        // could not be had: writing the bare quote string would throw the
        // user's data away.
        return;
    }
    app::SetClipboardTextRetrying(pikora::AddQuote(text, m_settings.InyouChar), false, false);
}

void CPopupApp::OpenWebSearch(HWND owner, const std::string& text) {
    OpenUrl(owner, pikora::WebSearchUrl(text));
}

void CPopupApp::OpenDictionary(HWND owner, const std::string& text, const char* selector) {
    OpenUrl(owner, pikora::DictionaryUrl(m_settings.DicCgi, text, selector));
}
