// The class library's registry access (TRegistry), standing in for the Windows registry of the
// current user: one store file per user, $XDG_CONFIG_HOME/varnith/registry (~/.config when the
// variable holds no absolute path). It is read afresh for every call, and every change rewrites
// it in one step (a temporary file renamed over it) under a lock, so that two programs that
// write at once lose nothing. Key and value names match without regard to ASCII letter case, as
// in the registry. Only HKEY_CURRENT_USER exists here.
//
// The store is text, one line per key and per value below it:
//     key "Software\Common\Path"
//     value "data.dat" 1 "/srv/data/data.dat%00"
// where the number is the value's type and the quoted texts hold the bytes as they are, except
// "%", '"' and control bytes, written as "%" and two hexadecimal digits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rtl/classes.h"
#include "rtl/sysutils.h"
#include "rtl/system.h"

using HKEY = std::uint32_t;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;

constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;
constexpr std::uint32_t KEY_SET_VALUE = 0x0002;
constexpr std::uint32_t KEY_CREATE_SUB_KEY = 0x0004;
constexpr std::uint32_t KEY_READ = 0x20019;
constexpr std::uint32_t KEY_ALL_ACCESS = 0xF003F;

constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_EXPAND_SZ = 2;
constexpr std::uint32_t REG_BINARY = 3;
constexpr std::uint32_t REG_DWORD = 4;

// A registry call that failed: a value that cannot be stored, or data of another type.
class ERegistryException : public Exception { using Exception::Exception; };

class TRegistry : public TObject {
public:
    // Root HKEY_CURRENT_USER, access KEY_ALL_ACCESS.
    TRegistry();
    explicit TRegistry(std::uint32_t AAccess);
    ~TRegistry() override;

    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY Value);
    std::uint32_t Access() const { return FAccess; }
    // The open key's path ("" when none is open).
    AnsiString CurrentPath() const { return FCurrentPath; }

    // Opens Key (below the open key, unless it begins with "\"); a missing key is created, with
    // the keys above it, when CanCreate is set and the access allows it. False when the key is
    // missing and not created, or the store cannot be written.
    bool OpenKey(const AnsiString& Key, bool CanCreate);
    void CloseKey();

    // Stores Value as REG_SZ data (with its terminating NUL) under Name in the open key. Raises
    // ERegistryException "'%s' のデータを設定できません" when it cannot.
    void WriteString(const AnsiString& Name, const AnsiString& Value);
    // The text of Name's REG_SZ or REG_EXPAND_SZ data up to its first NUL (not expanded); empty
    // when the value or the key is missing. Raises ERegistryException "'%s' のデータ型が不正です"
    // for data of another type.
    AnsiString ReadString(const AnsiString& Name);

    // The store file in force, as the OS names it (for tests and diagnostics).
    static std::string StorePath();

private:
    HKEY FRootKey = HKEY_CURRENT_USER;
    std::uint32_t FAccess;
    AnsiString FCurrentPath;
    bool FKeyOpen = false;
};
