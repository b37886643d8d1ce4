// The data file's writer thread, with real files and a real message queue.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "store/data_file_writer_win32.h"

namespace {

constexpr UINT kWritten = WM_APP + 20;

struct Report {
    bool saved;
    unsigned long error;
};

// A message-only window that keeps what the writer posts.
class ReportSink {
  public:
    ReportSink()
        : m_hwnd(::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                   nullptr)) {}
    ~ReportSink() { ::DestroyWindow(m_hwnd); }
    HWND Handle() const { return m_hwnd; }
    std::vector<Report> Take() {
        std::vector<Report> reports;
        MSG msg;
        while (::PeekMessageA(&msg, m_hwnd, kWritten, kWritten, PM_REMOVE)) {
            reports.push_back({msg.wParam != 0, static_cast<unsigned long>(msg.lParam)});
        }
        return reports;
    }

  private:
    HWND m_hwnd;
};

std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// The temporary folder's paths here are ASCII.
std::wstring Wide(const std::string& path) {
    return std::wstring(path.begin(), path.end());
}

std::optional<std::string> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(DataFileWriter, TheNewestContentLandsLastAndEveryWriteIsReported) {
    ReportSink sink;
    const std::string path = TempPath("pikora-writer-test.dat");
    ::DeleteFileA(path.c_str());
    {
        pikora::DataFileWriter writer(Wide(path), sink.Handle(), kWritten);
        ASSERT_TRUE(writer.Running());
        // Faster than the disk: writes queued behind a running one collapse
        // into the newest.
        std::string content;
        for (int i = 0; i < 200; ++i) {
            content += std::string(1000, static_cast<char>('a' + i % 26));
            writer.Write(content);
        }
        writer.Drain();
        EXPECT_EQ(ReadAll(path), content);
        const std::vector<Report> reports = sink.Take();
        ASSERT_FALSE(reports.empty());
        EXPECT_LE(reports.size(), 200u);
        for (const Report& r : reports) {
            EXPECT_TRUE(r.saved) << r.error;
        }
        // Queued just before the writer goes: still written.
        writer.Write("last");
    }
    EXPECT_EQ(ReadAll(path), std::string("last"));
    EXPECT_EQ(ReadAll(path + ".tmp"), std::nullopt);
    ::DeleteFileA(path.c_str());
}

FILETIME LastWrite(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA info{};
    ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info);
    return info.ftLastWriteTime;
}

TEST(DataFileWriter, TheSameContentAgainIsNotRewrittenUnlessTheFileWentMeanwhile) {
    ReportSink sink;
    const std::string path = TempPath("pikora-writer-same.dat");
    ::DeleteFileA(path.c_str());
    pikora::DataFileWriter writer(Wide(path), sink.Handle(), kWritten);
    const std::string list(100000, 'x');
    writer.Write(list);
    writer.Drain();
    const FILETIME first = LastWrite(path);
    ::Sleep(20);  // so that a rewrite would carry another time
    writer.Write(list);
    writer.Drain();
    const FILETIME second = LastWrite(path);
    EXPECT_EQ(::CompareFileTime(&first, &second), 0) << "the same list was written again";
    // Both are reported as saved: the file holds the list.
    const std::vector<Report> reports = sink.Take();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_TRUE(reports[0].saved && reports[1].saved);

    // One byte different, or the file deleted from outside: written.
    std::string changed = list;
    changed[50000] = 'y';
    writer.Write(changed);
    writer.Drain();
    EXPECT_EQ(ReadAll(path), changed);
    ::DeleteFileA(path.c_str());
    writer.Write(changed);
    writer.Drain();
    EXPECT_EQ(ReadAll(path), changed);

    // Another program put a file of the same size there (a backup put back,
    // a sync client): the list goes in again.
    const std::string other(changed.size(), 'z');
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << other;
    }
    FILETIME earlier = first;
    HANDLE file =
        ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ::SetFileTime(file, nullptr, nullptr, &earlier);
    ::CloseHandle(file);
    writer.Write(changed);
    writer.Drain();
    EXPECT_EQ(ReadAll(path), changed) << "a same-size file from outside was taken for the list";
    ::DeleteFileA(path.c_str());
}

TEST(DataFileWriter, ARelativeNameStaysInTheFolderThatWasCurrentAtTheStart) {
    ReportSink sink;
    const std::string start = TempPath("pikora-start-folder");
    const std::string moved = TempPath("pikora-moved-folder");
    ::CreateDirectoryA(start.c_str(), nullptr);
    ::CreateDirectoryA(moved.c_str(), nullptr);
    ::DeleteFileA((moved + "\\Pikora.dat").c_str());
    char before[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, before);
    ::SetCurrentDirectoryA(start.c_str());
    pikora::DataFileWriter writer(L"Pikora.dat", sink.Handle(), kWritten);
    // What the open dialog does on Windows when the user picks a sound.
    ::SetCurrentDirectoryA(moved.c_str());
    writer.Write("list");
    writer.Drain();
    ::SetCurrentDirectoryA(before);
    EXPECT_EQ(writer.Path(), Wide(start + "\\Pikora.dat"));
    EXPECT_EQ(ReadAll(start + "\\Pikora.dat"), std::string("list"));
    EXPECT_EQ(ReadAll(moved + "\\Pikora.dat"), std::nullopt);
    ::DeleteFileA((start + "\\Pikora.dat").c_str());
    ::RemoveDirectoryA(start.c_str());
    ::RemoveDirectoryA(moved.c_str());
}

TEST(DataFileWriter, AFailedWriteIsReportedWithItsCause) {
    ReportSink sink;
    const std::string path = TempPath("pikora-no-such-folder\\Pikora.dat");
    pikora::DataFileWriter writer(Wide(path), sink.Handle(), kWritten);
    writer.Write("lost");
    writer.Drain();
    const std::vector<Report> reports = sink.Take();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_FALSE(reports[0].saved);
    EXPECT_EQ(reports[0].error, static_cast<unsigned long>(ERROR_PATH_NOT_FOUND));
}

}  // namespace
