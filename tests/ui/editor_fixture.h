// Test support for the settings editor run in-process: its folders, the answering dialogs and
// the fixture that starts the editor as its program entry does.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "AboutFrm.h"
#include "MainFrm.h"
#include "rtl/codepage.h"
#include "rtl/inifiles.h"
#include "support/process.h"
#include "vcl/dialogs.h"
#include "vcl/forms.h"
#include "vcl/testing.h"

namespace editortest {

namespace fs = std::filesystem;

const std::string kLauncherBytes = "the launcher program\n";
const std::string kDefaultIconBytes = "the default disc icon\n";

using testproc::Entries;
using testproc::ReadFile;
using testproc::WriteFile;

// A 2 by 2 bitmap file, so that a picture loaded from it shows in the image's size.
inline std::string TinyBitmap() {
    std::string bmp = "BM";
    auto u32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) bmp += char(v >> (8 * i) & 0xFF); };
    auto u16 = [&](std::uint16_t v) { bmp += char(v & 0xFF); bmp += char(v >> 8); };
    u32(70); u32(0); u32(54);
    u32(40); u32(2); u32(2); u16(1); u16(24); u32(0); u32(16); u32(0); u32(0); u32(0); u32(0);
    bmp += std::string(16, '\x7f');
    return bmp;
}
inline AnsiString A(const fs::path& path) { return Utf8ToAnsi(path.string()); }

// The next answer of a queue: nothing when it is empty or the answer is a cancel.
template <typename T>
std::optional<T> NextAnswer(std::vector<std::optional<T>>& queue) {
    if (queue.empty()) return std::nullopt;
    std::optional<T> answer = queue.front();
    queue.erase(queue.begin());
    return answer;
}

// The colour dialog answered from a queue of picks (nullopt: cancelled); message boxes recorded.
class TAnsweringDialogs : public TDialogs {
public:
    struct TBox { std::string Text, Caption; UINT Flags; };
    std::vector<TBox> Boxes;
    std::vector<std::optional<TColor>> Picks;
    std::vector<TColor> OpenedOn;
    // The open-file dialog and the folder browser: each request recorded, answered from a queue
    // of choices (nullopt or an empty queue: cancelled).
    std::vector<TOpenFileRequest> FileRequests;
    std::vector<std::optional<std::string>> FileChoices;
    struct TBrowse { std::string Prompt, InitialFolder; };
    std::vector<TBrowse> Browses;
    std::vector<std::optional<AnsiString>> FolderChoices;

    int MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags) override {
        Boxes.push_back({AnsiToUtf8(text), AnsiToUtf8(caption), flags});
        return IDOK;
    }
    bool ChooseColor(TColor& color) override {
        OpenedOn.push_back(color);
        const std::optional<TColor> pick = NextAnswer(Picks);
        if (pick) color = *pick;
        return pick.has_value();
    }
    bool OpenFile(TOpenFileRequest& request) override {
        FileRequests.push_back(request);
        const std::optional<std::string> choice = NextAnswer(FileChoices);
        if (choice) request.FileName = Utf8ToAnsi(*choice);
        return choice.has_value();
    }
    bool BrowseForFolder(const AnsiString& prompt, const AnsiString& initialFolder,
                         AnsiString& path) override {
        Browses.push_back({AnsiToUtf8(prompt), AnsiToUtf8(initialFolder)});
        const std::optional<AnsiString> choice = NextAnswer(FolderChoices);
        if (choice) path = *choice;
        return choice.has_value();
    }
};

// Each test: the editor's own folder with the launcher and the default icon in it, an empty disc
// root, and the program entry's two forms.
class EditorTest : public ::testing::Test {
protected:
    fs::path Base, EditorFolder, Root, Pictures;
    TAnsweringDialogs Dialogs;

    void SetUp() override {
        InitVclForTests();
        char pattern[] = "/tmp/editor_ui_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        Base = fs::canonical(pattern);
        EditorFolder = Base / "editor";
        Root = Base / "disc";
        Pictures = Base / "pictures";
        for (const fs::path& folder : {EditorFolder, Root, Pictures, Base / "cwd"}) fs::create_directories(folder);
        WriteFile(EditorFolder / "Varnith2.exe", kLauncherBytes);
        WriteFile(EditorFolder / "Varnith2.ico", kDefaultIconBytes);
        FSavedFolder = fs::current_path();
        fs::current_path(Base / "cwd");

        SetDialogs(&Dialogs);
        Application->Initialize();
        Application->SetTitle("Trellan2 GUI 設定"_cp932);
        Application->SetExeNameForTests(A(EditorFolder / "VarnithGui"));
        Application->CreateForm(FrmMain);
        Application->CreateForm(AboutBox);
    }

    void TearDown() override {
        SetModalHandlerForTests(nullptr);
        Application->DestroyForms();
        FrmMain = nullptr;
        AboutBox = nullptr;
        SetDialogs(nullptr);
        fs::current_path(FSavedFolder);
        std::error_code ec;
        fs::permissions(Root / "Varnith2.ini", fs::perms::owner_all, ec);
        fs::remove_all(Base, ec);
    }

    void ShowForm() {
        FrmMain->Show();
        ProcessEventsForTests();
    }
    void ClickGraphic(TControl* control) {
        MouseClickForTests(control->Parent(), control->Left() + 5, control->Top() + 5);
    }
    // The root as the folder chooser leaves it: with its trailing delimiter.
    void SetRoot(const fs::path& folder) { FrmMain->LabeledEdit1->SetText(A(folder) + "/"); }
    std::string Ini(const std::string& section, const std::string& key) {
        return AnsiToUtf8(TIniFile(A(Root / "Varnith2.ini")).ReadString(section.c_str(), key.c_str(), "(absent)"));
    }

private:
    fs::path FSavedFolder;
};

}  // namespace
