// The class library's string lists, as far as the programs use them: TStrings (lines, their text
// form, loading and saving) over TStringList (the lines held in memory).
#pragma once

#include <vector>

#include "rtl/classes.h"
#include "rtl/system.h"

class TStrings : public TPersistent {
public:
    virtual int Count() const = 0;
    virtual AnsiString Strings(int Index) const = 0;
    virtual void Clear() = 0;
    // Appends a line; returns its index.
    virtual int Add(const AnsiString& S) = 0;

    AnsiString operator[](int Index) const { return Strings(Index); }

    // Every line followed by CR LF.
    AnsiString Text() const;
    // Replaces the lines: a line ends at CR LF, a lone CR or a lone LF; a NUL ends the text.
    void SetText(const AnsiString& Value);

    // The file's bytes as they stand, split as by SetText. Raises EFOpenError
    // "ファイル %s は開けません" when the file cannot be opened (a folder cannot).
    void LoadFromFile(const AnsiString& FileName);
    // Writes Text's bytes as the file's whole content, creating it where it is missing. The old
    // content stays whole until the new is complete and then gives way to it in one step (a
    // replacement keeps the permission bits). Raises EFCreateError "ファイル %s を作成できません"
    // when the file cannot be created or written, the old file then being as it was; a pipe, a
    // device or a folder of that name is never written.
    void SaveToFile(const AnsiString& FileName) const;
};

class TStringList : public TStrings {
public:
    int Count() const override { return static_cast<int>(FLines.size()); }
    AnsiString Strings(int Index) const override {
        return FLines.at(static_cast<std::size_t>(Index));
    }
    void Clear() override { FLines.clear(); }
    int Add(const AnsiString& S) override { FLines.push_back(S); return Count() - 1; }

private:
    std::vector<AnsiString> FLines;
};
