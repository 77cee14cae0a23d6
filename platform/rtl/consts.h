// The class library's message texts that the programs show, in code page 932.
#pragma once

#include "rtl/system.h"

inline const AnsiString SInvalidInteger = "'%s' は整数ではありません"_cp932;
inline const AnsiString SIniFileWriteError = "%s に書き込めません"_cp932;
inline const AnsiString SFOpenError = "ファイル %s は開けません"_cp932;
inline const AnsiString SFCreateError = "ファイル %s を作成できません"_cp932;
inline const AnsiString SFileOpenFailed = "ファイルが開けません"_cp932;
inline const AnsiString SUnknownExtension = "拡張子 .%s の画像形式は処理できません"_cp932;
inline const AnsiString SInvalidIcon = "アイコンイメージが不正です"_cp932;
inline const AnsiString SInvalidBitmap = "ビットマップイメージが不正です"_cp932;
inline const AnsiString SInvalidMetafile = "メタファイルが不正です"_cp932;
inline const AnsiString SNoTimers = "タイマーを取得できません"_cp932;
inline const AnsiString SOutOfResources = "システムリソースが不足しています"_cp932;
inline const AnsiString SRegSetDataFailed = "'%s' のデータを設定できません"_cp932;
inline const AnsiString SInvalidRegType = "'%s' のデータ型が不正です"_cp932;
