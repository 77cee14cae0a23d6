object Form1: TForm1
  Left = 434
  Top = 402
  AlphaBlendValue = 100
  BorderStyle = bsNone
  Caption = 'Trellan 2'
  ClientHeight = 53
  ClientWidth = 364
  Color = clBtnFace
  TransparentColorValue = clRed
  Font.Charset = SHIFTJIS_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = 'ＭＳ Ｐゴシック'
  Font.Style = []
  OldCreateOrder = False
  Position = poScreenCenter
  OnCreate = FormCreate
  PixelsPerInch = 96
  TextHeight = 12
  object VBox1: TVBox
    Left = 0
    Top = 0
    Width = 364
    Height = 53
    Align = alClient
    RectColor.DownRight = clBlue
    RectColor.DownLeft = clWhite
    GradStyle = vbGradient
  end
  object Image1: TImage
    Left = 8
    Top = 8
    Width = 32
    Height = 32
    AutoSize = True
    Picture.Data = {
      055449636F6E0000010001002020100001000400E80200001600000028000000
      2000000040000000010004000000000080020000000000000000000010000000
      0000000000000000000080000080000000808000800000008000800080800000
      C0C0C000808080000000FF0000FF000000FFFF00FF000000FF00FF00FFFF0000
      FFFFFF0000000000000000000000000000000000000000000000000000000000
      0000000000000000000000000000222222200000000000000000000000022222
      22220000000000000000000000A22F2222222000000000000888888F0A222FFF
      22222200000000088E77777F0A222FFFF22222000000008FEE77777F0A222FFF
      FFF22200000088FFFE77777F0A222FFFFFFFF20000008FFFFEE7777F0AA22FFF
      FFF222000008FFFFFFE7777F0AA22FFFF2222200008FFFFFFFFE777F0AAA2FFF
      22222200008FFFFFFFFE777FF0AAAF222222200008DDDFFFFFFFFFFFF00AAAA2
      222A00000877DDDFFFFFFFFFFF00AAAAAAA000000877777DDFFF8888FFFF0000
      00000000087777777FF880088FFFFFFFFFF00000087777777FF800008FF77777
      77800000087777777FF800008FF7777777800000087777777FF880088FF77777
      778000000877777777FF8888FFFBB777778000000877777777FFFFFFFFFFFBBB
      77800000087777777777FFFFFFFFFFFBBB8000000087777777777777EFFFFFFF
      F80000000087777777777777EFFFFFFFF800000000087777777777777EFFFFFF
      8000000000008777777777777EEFFFF800000000000088777777777777EFFF88
      00000000000000877777777777EEF80000000000000000088777777777E88000
      0000000000000000088888888880000000000000000000000000000000000000
      00000000FFFFFFFFFFFFF01FFFFFC007FFFF8003FFFF8003FF800001FE000001
      FC000001F0000001F0000001E0000001C0000001C00000038000000380000007
      8000001F8006001F800F001F800F001F8006001F8000001F8000001F8000001F
      C000003FC000003FE000007FF00000FFF00000FFFC0003FFFE0007FFFF801FFF
      FFFFFFFF}
    Proportional = True
    Transparent = True
  end
  object Label1: TLabel
    Left = 56
    Top = 8
    Width = 305
    Height = 33
    Alignment = taCenter
    AutoSize = False
    Caption = 'Trellan 2  異常終了します・・・'
    Font.Charset = SHIFTJIS_CHARSET
    Font.Color = clWindowText
    Font.Height = -15
    Font.Name = 'ＭＳ Ｐゴシック'
    Font.Style = []
    ParentFont = False
    Transparent = True
    WordWrap = True
  end
  object Label3: TLabel
    Left = 146
    Top = 41
    Width = 214
    Height = 12
    AutoSize = False
    Caption = 'Trellan 2 2.10 - 2004 PURUNE-SHA'
    Font.Charset = SHIFTJIS_CHARSET
    Font.Color = clGray
    Font.Height = -12
    Font.Name = 'ＭＳ Ｐゴシック'
    Font.Style = []
    ParentFont = False
    Transparent = True
  end
  object Label2: TLabel
    Left = 145
    Top = 40
    Width = 214
    Height = 12
    AutoSize = False
    Caption = 'Trellan 2 2.10 - 2004 PURUNE-SHA'
    Font.Charset = SHIFTJIS_CHARSET
    Font.Color = clCream
    Font.Height = -12
    Font.Name = 'ＭＳ Ｐゴシック'
    Font.Style = []
    ParentFont = False
    Transparent = True
  end
  object Label4: TLabel
    Left = 8
    Top = 42
    Width = 3
    Height = 11
    Font.Charset = SHIFTJIS_CHARSET
    Font.Color = clGray
    Font.Height = -11
    Font.Name = 'ＭＳ Ｐゴシック'
    Font.Style = []
    ParentFont = False
    Transparent = True
  end
  object Timer1: TTimer
    Interval = 10000
    OnTimer = Timer1Timer
  end
  object Timer2: TTimer
    Enabled = False
    Interval = 100
    OnTimer = Timer2Timer
  end
end
