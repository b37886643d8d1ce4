// What the clipboard held before a paste from the popup, so that it can be
// put back afterwards: the text, and every other memory-backed format too,
// so that an image or a file list the user had copied is not lost.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace app {

class ClipboardSnapshot {
  public:
    // Reads the clipboard, waiting up to waitMs while another program holds
    // it open. Formats the system derives from others and formats held as GDI
    // handles are left out; past kMaxBytes in all, the rest is left out too.
    static ClipboardSnapshot Take(DWORD waitMs = 0);
    // The snapshot of a text the clipboard is known to hold (one this program
    // put there itself), made without reading the clipboard.
    static ClipboardSnapshot OfText(std::string text);

    // False when the clipboard stayed held and nothing could be read: putting
    // this snapshot back would wipe the user's content.
    bool Taken() const { return m_taken; }

    // True when there was nothing but text that code page 932 holds whole (or
    // nothing at all): then the previous text alone is put back, as a plain
    // text copy would be.
    bool IsTextOnly() const { return m_formats.empty(); }
    const std::string& Text() const { return m_text; }

    // Puts every saved format back, marked so that clipboard monitors do not
    // record it again; false when the clipboard could not be opened.
    bool Restore() const;

    static constexpr size_t kMaxBytes = 64u * 1024u * 1024u;

  private:
    static ClipboardSnapshot TakeNow();

    struct Format {
        UINT id;
        std::vector<unsigned char> bytes;
    };
    bool m_taken = false;
    std::string m_text;
    std::vector<Format> m_formats;  // non-text formats, with the text formats kept alongside
};

}  // namespace app
