object FrmMain: TFrmMain
  Left = 192
  Top = 114
  Width = 455
  Height = 495
  Caption = 'Trellan2 GUI 設定'
  Color = clBtnFace
  Font.Charset = SHIFTJIS_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = 'ＭＳ Ｐゴシック'
  Font.Style = []
  Menu = MainMenu1
  OldCreateOrder = False
  Position = poScreenCenter
  PixelsPerInch = 96
  TextHeight = 12
  object Label6: TLabel
    Left = 136
    Top = 8
    Width = 276
    Height = 12
    Caption = '・・・CD-ROMに焼くときにルートになるフォルダです'
    Font.Charset = SHIFTJIS_CHARSET
    Font.Color = clTeal
    Font.Height = -12
    Font.Name = 'ＭＳ Ｐゴシック'
    Font.Style = []
    ParentFont = False
  end
  object LabeledEdit1: TLabeledEdit
    Left = 8
    Top = 24
    Width = 377
    Height = 20
    EditLabel.Width = 114
    EditLabel.Height = 12
    EditLabel.Caption = '【 CD-ROMのルート 】'
    LabelSpacing = 3
    TabOrder = 0
  end
  object Button1: TButton
    Left = 392
    Top = 24
    Width = 49
    Height = 20
    Caption = '参照'
    TabOrder = 1
    OnClick = Button1Click
  end
  object Label5: TLabel
    Left = 104
    Top = 48
    Width = 282
    Height = 12
    Caption = '・・・Trellan2で起動させるファイルです（相対表示）'
    Font.Charset = SHIFTJIS_CHARSET
    Font.Color = clMaroon
    Font.Height = -12
    Font.Name = 'ＭＳ Ｐゴシック'
    Font.Style = []
    ParentFont = False
  end
  object LabeledEdit4: TLabeledEdit
    Left = 8
    Top = 64
    Width = 225
    Height = 20
    EditLabel.Width = 90
    EditLabel.Height = 12
    EditLabel.Caption = '【 起動ファイル 】'
    LabelSpacing = 3
    TabOrder = 3
  end
  object Button2: TButton
    Left = 240
    Top = 64
    Width = 49
    Height = 20
    Caption = '参照'
    TabOrder = 4
    OnClick = Button2Click
  end
  object LabeledEdit5: TLabeledEdit
    Left = 344
    Top = 64
    Width = 97
    Height = 20
    EditLabel.Width = 40
    EditLabel.Height = 12
    EditLabel.Caption = 'User ID'
    LabelPosition = lpLeft
    LabelSpacing = 3
    TabOrder = 8
  end
  object GroupBox1: TGroupBox
    Left = 8
    Top = 96
    Width = 433
    Height = 297
    Caption = 'Trellan2 表示設定'
    TabOrder = 2
    object Panel1: TPanel
      Left = 16
      Top = 24
      Width = 401
      Height = 81
      BevelOuter = bvLowered
      Caption = 'Panel1'
      Color = clAppWorkSpace
      TabOrder = 0
      object VBox1: TVBox
        Left = 21
        Top = 12
        Width = 364
        Height = 53
        RectColor.DownRight = clBlue
        RectColor.DownLeft = clWhite
        GradStyle = vbGradient
      end
      object Image1: TImage
        Left = 30
        Top = 20
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
      object Label3: TLabel
        Left = 166
        Top = 53
        Width = 214
        Height = 12
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
        Left = 165
        Top = 52
        Width = 214
        Height = 12
        Caption = 'Trellan 2 2.10 - 2004 PURUNE-SHA'
        Font.Charset = SHIFTJIS_CHARSET
        Font.Color = clCream
        Font.Height = -12
        Font.Name = 'ＭＳ Ｐゴシック'
        Font.Style = []
        ParentFont = False
        Transparent = True
      end
      object Label1: TLabel
        Left = 75
        Top = 20
        Width = 305
        Height = 33
        Alignment = taCenter
        AutoSize = False
        Caption = 'アプリケーションを起動します・・・'
        Font.Charset = SHIFTJIS_CHARSET
        Font.Color = clWindowText
        Font.Height = -15
        Font.Name = 'ＭＳ Ｐゴシック'
        Font.Style = []
        ParentFont = False
        Transparent = True
        WordWrap = True
      end
      object Label9: TLabel
        Left = 26
        Top = 54
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
    end
    object LabeledEdit2: TLabeledEdit
      Left = 72
      Top = 120
      Width = 345
      Height = 20
      EditLabel.Width = 48
      EditLabel.Height = 12
      EditLabel.Caption = 'メッセージ'
      LabelPosition = lpLeft
      LabelSpacing = 3
      TabOrder = 1
      Text = 'アプリケーションを起動します・・・'
      OnChange = LabeledEdit2Change
    end
    object Label4: TLabel
      Left = 30
      Top = 149
      Width = 60
      Height = 12
      Caption = 'フォント設定'
    end
    object Panel6: TPanel
      Left = 97
      Top = 143
      Width = 119
      Height = 25
      BevelOuter = bvLowered
      Caption = 'Panel6'
      TabOrder = 10
      object RadioButton1: TRadioButton
        Left = 4
        Top = 4
        Width = 49
        Height = 17
        Caption = '明朝'
        TabOrder = 0
        OnClick = RadioButton1Click
      end
      object RadioButton2: TRadioButton
        Left = 52
        Top = 4
        Width = 65
        Height = 17
        Caption = 'ゴシック'
        Checked = True
        TabOrder = 1
        TabStop = True
        OnClick = RadioButton1Click
      end
    end
    object McolPanel: TPanel
      Left = 220
      Top = 143
      Width = 25
      Height = 25
      BevelWidth = 2
      Caption = '色'
      Color = clBlack
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clWhite
      Font.Height = -12
      Font.Name = 'ＭＳ Ｐゴシック'
      Font.Style = []
      ParentFont = False
      TabOrder = 11
      OnClick = McolPanelClick
    end
    object SpeedButton1: TSpeedButton
      Left = 248
      Top = 144
      Width = 23
      Height = 22
      AllowAllUp = True
      GroupIndex = 1
      Glyph.Data = {
        F6000000424DF600000000000000760000002800000010000000100000000100
        0400000000008000000000000000000000001000000010000000000000000000
        8000008000000080800080000000800080008080000080808000C0C0C0000000
        FF0000FF000000FFFF00FF000000FF00FF00FFFF0000FFFFFF00888888888888
        8888888888888888888888888888888888888880000000088888888800888800
        8888888800888880088888880088888008888888008888008888888800000008
        8888888800888008888888880088880088888888008888008888888800888008
        8888888000000088888888888888888888888888888888888888}
      OnClick = SpeedButton1Click
    end
    object SpeedButton2: TSpeedButton
      Left = 272
      Top = 144
      Width = 23
      Height = 22
      AllowAllUp = True
      GroupIndex = 2
      Glyph.Data = {
        F6000000424DF600000000000000760000002800000010000000100000000100
        0400000000008000000000000000000000001000000010000000000000000000
        8000008000000080800080000000800080008080000080808000C0C0C0000000
        FF0000FF000000FFFF00FF000000FF00FF00FFFF0000FFFFFF00888888888888
        8888888888888888888888888888888888888880000088888888888800888888
        8888888880088888888888888008888888888888880088888888888888008888
        8888888888800888888888888880088888888888888800888888888888880088
        8888888888800000888888888888888888888888888888888888}
      OnClick = SpeedButton1Click
    end
    object Label7: TLabel
      Left = 304
      Top = 148
      Width = 72
      Height = 12
      Caption = '表示時間（秒）'
    end
    object CSpinEdit1: TCSpinEdit
      Left = 376
      Top = 144
      Width = 41
      Height = 21
      TabOrder = 4
      Value = 3
    end
    object CheckBox1: TCheckBox
      Left = 80
      Top = 172
      Width = 337
      Height = 17
      Caption = 'Trellan2のスプラッシュ表示を常に最前面に固定する'
      TabOrder = 9
    end
    object LabeledEdit3: TLabeledEdit
      Left = 72
      Top = 200
      Width = 289
      Height = 20
      EditLabel.Width = 36
      EditLabel.Height = 12
      EditLabel.Caption = 'アイコン'
      LabelPosition = lpLeft
      LabelSpacing = 3
      TabOrder = 2
      OnChange = LabeledEdit3Change
    end
    object Button3: TButton
      Left = 368
      Top = 200
      Width = 49
      Height = 20
      Caption = '参照'
      TabOrder = 3
      OnClick = Button3Click
    end
    object Label8: TLabel
      Left = 16
      Top = 232
      Width = 132
      Height = 12
      Caption = 'フォームのグラデーション色'
    end
    object Panel2: TPanel
      Left = 168
      Top = 232
      Width = 97
      Height = 25
      Caption = '左上'
      Color = clWhite
      TabOrder = 5
      OnClick = Panel2Click
    end
    object Panel3: TPanel
      Left = 272
      Top = 232
      Width = 97
      Height = 25
      Caption = '右上'
      Color = clBlue
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clWhite
      Font.Height = -12
      Font.Name = 'ＭＳ Ｐゴシック'
      Font.Style = []
      ParentFont = False
      TabOrder = 6
      OnClick = Panel3Click
    end
    object Panel4: TPanel
      Left = 168
      Top = 264
      Width = 97
      Height = 25
      Caption = '左下'
      Color = clWhite
      TabOrder = 7
      OnClick = Panel4Click
    end
    object Panel5: TPanel
      Left = 272
      Top = 264
      Width = 97
      Height = 25
      Caption = '右下'
      Color = clBlue
      Font.Charset = SHIFTJIS_CHARSET
      Font.Color = clWhite
      Font.Height = -12
      Font.Name = 'ＭＳ Ｐゴシック'
      Font.Style = []
      ParentFont = False
      TabOrder = 8
      OnClick = Panel5Click
    end
  end
  object BitBtn1: TBitBtn
    Left = 24
    Top = 400
    Width = 153
    Height = 33
    Caption = '設定を書き出す'
    TabOrder = 5
    OnClick = W1Click
  end
  object BitBtn2: TBitBtn
    Left = 184
    Top = 400
    Width = 121
    Height = 33
    Caption = '動作テスト'
    TabOrder = 6
    OnClick = N3Click
  end
  object BitBtn3: TBitBtn
    Left = 312
    Top = 400
    Width = 121
    Height = 33
    Caption = 'CD-ROMルートを開く'
    TabOrder = 7
    OnClick = CDROM1Click
  end
  object MainMenu1: TMainMenu
    Left = 8
    Top = 440
    object F1: TMenuItem
      Caption = 'ファイル(&F)'
      object O1: TMenuItem
        Caption = '設定ファイルを開く(&O)...'
        OnClick = O1Click
      end
      object W1: TMenuItem
        Caption = '設定ファイルを書き出す(&W)'
        OnClick = W1Click
      end
      object N1: TMenuItem
        Caption = '-'
      end
      object X1: TMenuItem
        Caption = '終了する(&X)'
        OnClick = X1Click
      end
    end
    object T1: TMenuItem
      Caption = 'ツール(&T)'
      object N3: TMenuItem
        Caption = '動作テスト(&R)'
        OnClick = N3Click
      end
      object CDROM1: TMenuItem
        Caption = 'CD-ROMのルートフォルダの表示(&V)'
        OnClick = CDROM1Click
      end
      object N4: TMenuItem
        Caption = '-'
      end
      object O2: TMenuItem
        Caption = 'オプション設定(&O)'
        Enabled = False
      end
    end
    object H1: TMenuItem
      Caption = 'ヘルプ(&H)'
      object R1: TMenuItem
        Caption = '取扱説明書(&C)'
        OnClick = R1Click
      end
      object N2: TMenuItem
        Caption = '-'
      end
      object A1: TMenuItem
        Caption = 'バージョン情報(&A)'
        OnClick = A1Click
      end
    end
  end
  object ColorDialog1: TColorDialog
    Options = [cdAnyColor]
    Left = 40
    Top = 440
  end
  object OpenDialog1: TOpenDialog
    Left = 72
    Top = 440
  end
end
