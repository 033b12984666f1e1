<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CommandLine</name>
    <message>
        <source>使い方: kelvane [設定ファイル]
        kelvane --list-ports | --help | --version

MIDI音源を手で操作し，入力を監視するウィンドウを開きます。

  設定ファイル   kelvane.ini の代わりに使う設定ファイル。名前だけなら設定の
                 置き場所に置き，パスはそのまま使います。- で始まる名前は
                 -- の後に書きます（kelvane -- -試し.ini）
  --list-ports   出力ポートのメニューと入力デバイスを表示して終了します
  -h, --help     この使い方を表示して終了します
  --version      バージョンを表示して終了します

環境変数:
  KELVANE_LANG=ja|en               表示言語（既定はロケールに従います）
  KELVANE_MIDI_API=alsa|jack|none  システムのMIDIポート（既定はALSA，
                                   使えなければJACK）
  KELVANE_SOUNDFONT=ファイル       内蔵シンセサイザーのサウンドフォント
  KELVANE_AUDIO_DRIVER=名前        内蔵シンセサイザーの音声出力（jack，
                                   pulseaudio，alsa など。既定はJACKの
                                   サーバーがあればJACK，なければ
                                   PulseAudio，それもなければALSA）
  KELVANE_DEBUG=1                  ALSA，JACK，FluidSynthのメッセージを
                                   標準エラーに表示します
</source>
        <translation>Usage: kelvane [settings-file]
       kelvane --list-ports | --help | --version

Opens a window to drive a MIDI synthesizer by hand and watch its input.

  settings-file  the settings file to use instead of kelvane.ini: a bare name
                 is kept where the settings live, a path is used as it is; a
                 name starting with - goes after -- (kelvane -- -test.ini)
  --list-ports   print the output-port menu and the input devices, and exit
  -h, --help     print this usage and exit
  --version      print the version and exit

Environment:
  KELVANE_LANG=ja|en               the interface language (default: from the
                                   locale)
  KELVANE_MIDI_API=alsa|jack|none  the system&apos;s MIDI ports (default: ALSA,
                                   else JACK)
  KELVANE_SOUNDFONT=file           the built-in synthesizer&apos;s sound font
  KELVANE_AUDIO_DRIVER=name        the built-in synthesizer&apos;s audio output
                                   (jack, pulseaudio, alsa...; default: JACK
                                   when a server runs, else PulseAudio, else
                                   ALSA)
  KELVANE_DEBUG=1                  show the messages of ALSA, JACK and
                                   FluidSynth on standard error
</translation>
    </message>
    <message>
        <source>kelvane: %1 というオプションはありません（使い方は kelvane --help）</source>
        <translation>kelvane: unknown option %1 (see kelvane --help)</translation>
    </message>
    <message>
        <source>kelvane: 設定ファイルは一つしか指定できません: %1（使い方は kelvane --help）</source>
        <translation>kelvane: only one settings file can be given: %1 (see kelvane --help)</translation>
    </message>
</context>
<context>
    <name>HexText</name>
    <message>
        <source>16進数を表す文字の数は偶数でなければなりません。データを確認してください</source>
        <translation>The number of hexadecimal digits must be even. Please check the data</translation>
    </message>
</context>
<context>
    <name>MessageMeaning</name>
    <message>
        <source>ノート・オフ</source>
        <translation>Note off</translation>
    </message>
    <message>
        <source>ノート・オン</source>
        <translation>Note on</translation>
    </message>
    <message>
        <source>ポリフォニック・プレッシャー</source>
        <translation>Polyphonic pressure</translation>
    </message>
    <message>
        <source>コントロール・チェンジ</source>
        <translation>Control change</translation>
    </message>
    <message>
        <source>プログラム・チェンジ</source>
        <translation>Program change</translation>
    </message>
    <message>
        <source>チャンネル・プレッシャー</source>
        <translation>Channel pressure</translation>
    </message>
    <message>
        <source>ピッチベンド</source>
        <translation>Pitch bend</translation>
    </message>
    <message>
        <source>システム・エクスクルーシブ</source>
        <translation>System exclusive</translation>
    </message>
    <message>
        <source>システム・コモン</source>
        <translation>System common</translation>
    </message>
    <message>
        <source>リアルタイム</source>
        <translation>Real-time</translation>
    </message>
    <message>
        <source>ステータスのないデータ</source>
        <translation>Data without status</translation>
    </message>
    <message>
        <source>%1 ベロシティ %2</source>
        <translation>%1 velocity %2</translation>
    </message>
    <message>
        <source>%1 ベロシティ 0（ノート・オフ）</source>
        <translation>%1 velocity 0 (note off)</translation>
    </message>
    <message>
        <source>オン</source>
        <translation>on</translation>
    </message>
    <message>
        <source>オフ</source>
        <translation>off</translation>
    </message>
    <message>
        <source>（バンク %1:%2）</source>
        <translation> (bank %1:%2)</translation>
    </message>
    <message>
        <source>%1 %2（%3）</source>
        <translation>%1 %2 (%3)</translation>
    </message>
    <message numerus="yes">
        <source>%nバイト</source>
        <translation>
            <numerusform>%n byte</numerusform>
            <numerusform>%n bytes</numerusform>
        </translation>
    </message>
    <message>
        <source>バンク・セレクト</source>
        <translation>Bank select</translation>
    </message>
    <message>
        <source>モジュレーション</source>
        <translation>Modulation</translation>
    </message>
    <message>
        <source>ブレス・コントロール</source>
        <translation>Breath control</translation>
    </message>
    <message>
        <source>フット・コントロール</source>
        <translation>Foot control</translation>
    </message>
    <message>
        <source>ポルタメント・タイム</source>
        <translation>Portamento time</translation>
    </message>
    <message>
        <source>データ・エントリー</source>
        <translation>Data entry</translation>
    </message>
    <message>
        <source>ボリューム</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>バランス</source>
        <translation>Balance</translation>
    </message>
    <message>
        <source>パンポット</source>
        <translation>Pan</translation>
    </message>
    <message>
        <source>エクスプレッション</source>
        <translation>Expression</translation>
    </message>
    <message>
        <source>エフェクト・コントロール1</source>
        <translation>Effect control 1</translation>
    </message>
    <message>
        <source>エフェクト・コントロール2</source>
        <translation>Effect control 2</translation>
    </message>
    <message>
        <source>汎用コントローラー1</source>
        <translation>General purpose 1</translation>
    </message>
    <message>
        <source>汎用コントローラー2</source>
        <translation>General purpose 2</translation>
    </message>
    <message>
        <source>汎用コントローラー3</source>
        <translation>General purpose 3</translation>
    </message>
    <message>
        <source>汎用コントローラー4</source>
        <translation>General purpose 4</translation>
    </message>
    <message>
        <source>サスティン</source>
        <translation>Sustain</translation>
    </message>
    <message>
        <source>ポルタメント</source>
        <translation>Portamento</translation>
    </message>
    <message>
        <source>ソステヌート</source>
        <translation>Sostenuto</translation>
    </message>
    <message>
        <source>ソフト・ペダル</source>
        <translation>Soft pedal</translation>
    </message>
    <message>
        <source>レガート・フットスイッチ</source>
        <translation>Legato footswitch</translation>
    </message>
    <message>
        <source>ホールド2</source>
        <translation>Hold 2</translation>
    </message>
    <message>
        <source>サウンド・バリエーション</source>
        <translation>Sound variation</translation>
    </message>
    <message>
        <source>レゾナンス</source>
        <translation>Resonance</translation>
    </message>
    <message>
        <source>リリース・タイム</source>
        <translation>Release time</translation>
    </message>
    <message>
        <source>アタック・タイム</source>
        <translation>Attack time</translation>
    </message>
    <message>
        <source>ブライトネス</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>ディケイ・タイム</source>
        <translation>Decay time</translation>
    </message>
    <message>
        <source>ビブラート・レート</source>
        <translation>Vibrato rate</translation>
    </message>
    <message>
        <source>ビブラート・デプス</source>
        <translation>Vibrato depth</translation>
    </message>
    <message>
        <source>ビブラート・ディレイ</source>
        <translation>Vibrato delay</translation>
    </message>
    <message>
        <source>サウンド・コントローラー10</source>
        <translation>Sound controller 10</translation>
    </message>
    <message>
        <source>汎用コントローラー5</source>
        <translation>General purpose 5</translation>
    </message>
    <message>
        <source>汎用コントローラー6</source>
        <translation>General purpose 6</translation>
    </message>
    <message>
        <source>汎用コントローラー7</source>
        <translation>General purpose 7</translation>
    </message>
    <message>
        <source>汎用コントローラー8</source>
        <translation>General purpose 8</translation>
    </message>
    <message>
        <source>ポルタメント・コントロール</source>
        <translation>Portamento control</translation>
    </message>
    <message>
        <source>高分解能ベロシティ・プリフィックス</source>
        <translation>High resolution velocity prefix</translation>
    </message>
    <message>
        <source>エフェクト1（リバーブ）</source>
        <translation>Effect 1 (reverb)</translation>
    </message>
    <message>
        <source>エフェクト2（トレモロ）</source>
        <translation>Effect 2 (tremolo)</translation>
    </message>
    <message>
        <source>エフェクト3（コーラス）</source>
        <translation>Effect 3 (chorus)</translation>
    </message>
    <message>
        <source>エフェクト4（セレステ）</source>
        <translation>Effect 4 (celeste)</translation>
    </message>
    <message>
        <source>エフェクト5（フェイザー）</source>
        <translation>Effect 5 (phaser)</translation>
    </message>
    <message>
        <source>データ・インクリメント</source>
        <translation>Data increment</translation>
    </message>
    <message>
        <source>データ・デクリメント</source>
        <translation>Data decrement</translation>
    </message>
    <message>
        <source>オール・サウンド・オフ</source>
        <translation>All sound off</translation>
    </message>
    <message>
        <source>リセット・オール・コントローラー</source>
        <translation>Reset all controllers</translation>
    </message>
    <message>
        <source>ローカル・コントロール</source>
        <translation>Local control</translation>
    </message>
    <message>
        <source>オール・ノート・オフ</source>
        <translation>All notes off</translation>
    </message>
    <message>
        <source>オムニ・オフ</source>
        <translation>Omni off</translation>
    </message>
    <message>
        <source>オムニ・オン</source>
        <translation>Omni on</translation>
    </message>
    <message>
        <source>モノ・モード</source>
        <translation>Mono mode</translation>
    </message>
    <message>
        <source>ポリ・モード</source>
        <translation>Poly mode</translation>
    </message>
    <message>
        <source>%1 LSB</source>
        <translation>%1 LSB</translation>
    </message>
    <message>
        <source>ピッチベンド・レンジ</source>
        <translation>Pitch bend range</translation>
    </message>
    <message>
        <source>ファイン・チューン</source>
        <translation>Fine tuning</translation>
    </message>
    <message>
        <source>コース・チューン</source>
        <translation>Coarse tuning</translation>
    </message>
    <message>
        <source>チューニング・プログラム</source>
        <translation>Tuning program</translation>
    </message>
    <message>
        <source>チューニング・バンク</source>
        <translation>Tuning bank</translation>
    </message>
    <message>
        <source>モジュレーション・デプス・レンジ</source>
        <translation>Modulation depth range</translation>
    </message>
    <message>
        <source>ヌル</source>
        <translation>Null</translation>
    </message>
    <message>
        <source>MIDIタイムコード</source>
        <translation>MIDI time code</translation>
    </message>
    <message>
        <source>ソング・ポジション</source>
        <translation>Song position</translation>
    </message>
    <message>
        <source>ソング・セレクト</source>
        <translation>Song select</translation>
    </message>
    <message>
        <source>未定義 (F4)</source>
        <translation>Undefined (F4)</translation>
    </message>
    <message>
        <source>未定義 (F5)</source>
        <translation>Undefined (F5)</translation>
    </message>
    <message>
        <source>チューン・リクエスト</source>
        <translation>Tune request</translation>
    </message>
    <message>
        <source>エンド・オブ・エクスクルーシブ</source>
        <translation>End of exclusive</translation>
    </message>
    <message>
        <source>タイミング・クロック</source>
        <translation>Timing clock</translation>
    </message>
    <message>
        <source>未定義 (F9)</source>
        <translation>Undefined (F9)</translation>
    </message>
    <message>
        <source>スタート</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>コンティニュー</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>ストップ</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>未定義 (FD)</source>
        <translation>Undefined (FD)</translation>
    </message>
    <message>
        <source>アクティブ・センシング</source>
        <translation>Active sensing</translation>
    </message>
    <message>
        <source>システム・リセット</source>
        <translation>System reset</translation>
    </message>
    <message>
        <source>非商用</source>
        <translation>Non-commercial</translation>
    </message>
    <message>
        <source>ユニバーサル非リアルタイム</source>
        <translation>Universal non-real-time</translation>
    </message>
    <message>
        <source>ユニバーサル・リアルタイム</source>
        <translation>Universal real-time</translation>
    </message>
    <message>
        <source>メーカーID %1</source>
        <translation>Manufacturer ID %1</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>F0なし</source>
        <translation>no F0</translation>
    </message>
    <message>
        <source>F7なし</source>
        <translation>no F7</translation>
    </message>
    <message>
        <source>サブID %1</source>
        <translation>Sub-ID %1</translation>
    </message>
    <message>
        <source>チェックサム正しい</source>
        <translation>checksum right</translation>
    </message>
    <message>
        <source>チェックサム誤り（正しくは %1）</source>
        <translation>checksum wrong (%1 expected)</translation>
    </message>
    <message>
        <source>%1 アドレス %2 データ %3</source>
        <translation>%1 address %2 data %3</translation>
    </message>
    <message>
        <source>%1 アドレス %2</source>
        <translation>%1 address %2</translation>
    </message>
    <message>
        <source>%1 アドレス %2 サイズ %3</source>
        <translation>%1 address %2 size %3</translation>
    </message>
    <message>
        <source>GMシステム・オン</source>
        <translation>GM system on</translation>
    </message>
    <message>
        <source>GMシステム・オフ</source>
        <translation>GM system off</translation>
    </message>
    <message>
        <source>GM2システム・オン</source>
        <translation>GM2 system on</translation>
    </message>
    <message>
        <source>アイデンティティ・リクエスト</source>
        <translation>Identity request</translation>
    </message>
    <message>
        <source>アイデンティティ・リプライ</source>
        <translation>Identity reply</translation>
    </message>
    <message>
        <source>マスター・ボリューム</source>
        <translation>Master volume</translation>
    </message>
    <message>
        <source>マスター・バランス</source>
        <translation>Master balance</translation>
    </message>
    <message>
        <source>マスター・ファイン・チューン</source>
        <translation>Master fine tuning</translation>
    </message>
    <message>
        <source>マスター・コース・チューン</source>
        <translation>Master coarse tuning</translation>
    </message>
    <message>
        <source>MTCフル・メッセージ</source>
        <translation>MTC full message</translation>
    </message>
    <message>
        <source>GSリセット</source>
        <translation>GS reset</translation>
    </message>
    <message>
        <source>バルク・ダンプ</source>
        <translation>Bulk dump</translation>
    </message>
    <message>
        <source>パラメーター・チェンジ</source>
        <translation>Parameter change</translation>
    </message>
    <message>
        <source>ダンプ・リクエスト</source>
        <translation>Dump request</translation>
    </message>
    <message>
        <source>パラメーター・リクエスト</source>
        <translation>Parameter request</translation>
    </message>
    <message>
        <source>XGシステム・オン</source>
        <translation>XG system on</translation>
    </message>
    <message>
        <source>XGオール・パラメーター・リセット</source>
        <translation>XG all parameters reset</translation>
    </message>
</context>
<context>
    <name>MidiFiles</name>
    <message>
        <source>システム・エクスクルーシブ(*.syx)|*.syx|すべてのファイル(*.*)|*.*</source>
        <translation>System exclusive (*.syx)|*.syx|All files (*.*)|*.*</translation>
    </message>
    <message>
        <source>テキスト(*.txt)|*.txt|すべてのファイル(*.*)|*.*</source>
        <translation>Text (*.txt)|*.txt|All files (*.*)|*.*</translation>
    </message>
    <message>
        <source>%1 を読み込めません</source>
        <translation>Cannot read %1</translation>
    </message>
    <message>
        <source>%1 に書き込めません</source>
        <translation>Cannot write %1</translation>
    </message>
    <message>
        <source>%1 は大きすぎて読み込めません（%2 MiB まで）</source>
        <translation>%1 is too large to read (up to %2 MiB)</translation>
    </message>
    <message>
        <source>同じ名前のフォルダがあります</source>
        <translation>A folder of the same name is in the way</translation>
    </message>
    <message>
        <source>フォルダ %1 がありません</source>
        <translation>The folder %1 does not exist</translation>
    </message>
    <message>
        <source>書き込みが許可されていません</source>
        <translation>Writing there is not permitted</translation>
    </message>
    <message>
        <source>ディスクがいっぱいか，書き込みに失敗しました</source>
        <translation>The disk is full, or the write failed</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>%1 に書き込めません</source>
        <translation>Cannot write %1</translation>
    </message>
</context>
<context>
    <name>TBinaryPage</name>
    <message>
        <source>MIDI入力</source>
        <translation>MIDI input</translation>
    </message>
    <message>
        <source>MIDI入力ポートから入ってきたデータを16進数で表示します。
この欄のデータを変更することはできません</source>
        <translation>Shows the data received from the MIDI input port in hexadecimal.
This field cannot be edited</translation>
    </message>
    <message>
        <source>MIDI出力時には色が変わります</source>
        <translation>Changes colour while MIDI is sent</translation>
    </message>
    <message>
        <source>MIDI出力</source>
        <translation>MIDI output</translation>
    </message>
    <message>
        <source>MIDI出力ポートへ出力したいデータを16進数で入力します。
他の画面で出力したデータはここには表示されません。
半角入力で大文字小文字可，空白や改行は影響しません</source>
        <translation>Type the data to send to the MIDI output port in hexadecimal.
Data sent from the other pages is not shown here.
Upper or lower case; blanks and line breaks do not matter</translation>
    </message>
    <message>
        <source>MIDI入力をモニターするポートを指定します。
「MIDI入力なし」を選ぶと入力モニターを停止します。</source>
        <translation>Chooses the port whose MIDI input is monitored.
Choose &quot;No MIDI input&quot; to stop the monitor.</translation>
    </message>
    <message>
        <source>MIDI入力ポート</source>
        <translation>MIDI input port</translation>
    </message>
    <message>
        <source>MIDI入力，MIDI出力の表示フォントを指定します</source>
        <translation>Chooses the font of MIDI input and MIDI output</translation>
    </message>
    <message>
        <source>フォント変更</source>
        <translation>Font...</translation>
    </message>
    <message>
        <source>送信間隔&#x3000;（ミリ秒）</source>
        <translation>Interval (ms)</translation>
    </message>
    <message>
        <source>複数のデータを送る場合の間隔をミリ秒単位で指定します</source>
        <translation>The interval between packets, in milliseconds</translation>
    </message>
    <message>
        <source>送信間隔（ミリ秒）</source>
        <translation>Interval (milliseconds)</translation>
    </message>
    <message>
        <source>MIDI出力欄の内容をMIDI出力ポートに送信します</source>
        <translation>Sends the MIDI output field to the MIDI output port</translation>
    </message>
    <message>
        <source>送信</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>MIDI出力の内容を消去して，バイナリ・ファイルの内容を読み込みます</source>
        <translation>Clears MIDI output and loads a binary file</translation>
    </message>
    <message>
        <source>バイナリ読込</source>
        <translation>Load binary</translation>
    </message>
    <message>
        <source>MIDI出力の内容を消去して，テキスト・ファイルの内容を読み込みます</source>
        <translation>Clears MIDI output and loads a text file</translation>
    </message>
    <message>
        <source>テキスト読込</source>
        <translation>Load text</translation>
    </message>
    <message>
        <source>MIDI入力の内容を消去します</source>
        <translation>Clears MIDI input</translation>
    </message>
    <message>
        <source>クリア</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>MIDI入力の内容をバイナリ・ファイルに保存します</source>
        <translation>Saves MIDI input to a binary file</translation>
    </message>
    <message>
        <source>バイナリ保存</source>
        <translation>Save binary</translation>
    </message>
    <message>
        <source>MIDI入力の内容をテキスト・ファイルに保存します</source>
        <translation>Saves MIDI input to a text file</translation>
    </message>
    <message>
        <source>テキスト保存</source>
        <translation>Save text</translation>
    </message>
    <message>
        <source>大きさ&#x3000;&#x3000;（バイト）</source>
        <translation>Size (bytes)</translation>
    </message>
    <message>
        <source>ここに指定された数値より大きなデータを送る場合に，分割して送信します</source>
        <translation>Data larger than this is sent in pieces of this size</translation>
    </message>
    <message>
        <source>大きさ（バイト）</source>
        <translation>Packet size (bytes)</translation>
    </message>
    <message>
        <source>MIDI出力の内容を消去します</source>
        <translation>Clears MIDI output</translation>
    </message>
    <message>
        <source>MIDI出力の内容をバイナリ・ファイルに保存します</source>
        <translation>Saves MIDI output to a binary file</translation>
    </message>
    <message>
        <source>MIDI出力の内容をテキスト・ファイルに保存します</source>
        <translation>Saves MIDI output to a text file</translation>
    </message>
</context>
<context>
    <name>TControllerPage</name>
    <message>
        <source>MIDI出力の送信チャネルを指定します。
送信チャネルを変更すると，音源とデータが異なる可能性があるパラメータのラベルが水色に変化します</source>
        <translation>Chooses the MIDI channel to send on.
When the channel changes, the labels of parameters that may differ from the synthesizer turn aqua</translation>
    </message>
    <message>
        <source>チャネル</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>ダブルクリックするとピッチベンドの値を標準値に設定します</source>
        <translation>Double-click to set the pitch bend to its default</translation>
    </message>
    <message>
        <source>ピッチベンド</source>
        <translation>Pitch bend</translation>
    </message>
    <message>
        <source>ピッチベンドを送信します
すべての音を出すのをやめると，標準値に戻ります</source>
        <translation>Sends pitch bend
Returns to its default when no note sounds any more</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>ダブルクリックするとトランスポーズの値を標準値に設定します</source>
        <translation>Double-click to set the transposition to its default</translation>
    </message>
    <message>
        <source>トランスポーズ</source>
        <translation>Transpose</translation>
    </message>
    <message>
        <source>ノートのキー番号を上下にずらします</source>
        <translation>Shifts the note numbers up or down</translation>
    </message>
    <message>
        <source>ダブルクリックするとノート・オン・ベロシティの値を標準値に設定します</source>
        <translation>Double-click to set the note-on velocity to its default</translation>
    </message>
    <message>
        <source>Onベロシティ</source>
        <translation>On velocity</translation>
    </message>
    <message>
        <source>ノート・オン・ベロシティの値を変更します</source>
        <translation>Changes the note-on velocity</translation>
    </message>
    <message>
        <source>120</source>
        <translation>120</translation>
    </message>
    <message>
        <source>ダブルクリックするとノート・オフ・ベロシティの値を標準値に設定します</source>
        <translation>Double-click to set the note-off velocity to its default</translation>
    </message>
    <message>
        <source>Offベロシティ</source>
        <translation>Off velocity</translation>
    </message>
    <message>
        <source>ノート・オフ・ベロシティの値を変更します</source>
        <translation>Changes the note-off velocity</translation>
    </message>
    <message>
        <source>40</source>
        <translation>40</translation>
    </message>
    <message>
        <source>チャンネル・アフタータッチを送信します。強さは右のスライダーで設定します</source>
        <translation>Sends channel aftertouch. Its strength is set with the slider on the right</translation>
    </message>
    <message>
        <source>チャネルAT</source>
        <translation>Channel AT</translation>
    </message>
    <message>
        <source>チャンネル・アフタータッチの強さを変更します</source>
        <translation>Changes the strength of channel aftertouch</translation>
    </message>
    <message>
        <source>ダブルクリックするとチャンネル・アフタータッチの強さを標準値に設定します</source>
        <translation>Double-click to set the channel aftertouch strength to its default</translation>
    </message>
    <message>
        <source>ノート独立のアフタータッチを送信します。発音している一番下のノートで送ります</source>
        <translation>Sends polyphonic aftertouch, on the lowest sounding note</translation>
    </message>
    <message>
        <source>ノートAT</source>
        <translation>Note AT</translation>
    </message>
    <message>
        <source>ノート独立アフタータッチの強さを変更します</source>
        <translation>Changes the strength of polyphonic aftertouch</translation>
    </message>
    <message>
        <source>ダブルクリックするとノート独立アフタータッチの強さを標準値に設定します</source>
        <translation>Double-click to set the polyphonic aftertouch strength to its default</translation>
    </message>
    <message>
        <source>ダブルクリックするとモジュレーションを標準値に設定します</source>
        <translation>Double-click to set modulation to its default</translation>
    </message>
    <message>
        <source>モジュレーション</source>
        <translation>Modulation</translation>
    </message>
    <message>
        <source>モジュレーション（コントロール1）変更し，送信します</source>
        <translation>Changes and sends modulation (controller 1)</translation>
    </message>
    <message>
        <source>ダブルクリックするとモジュレーションの現在の値を送信します</source>
        <translation>Double-click to send the current value of modulation</translation>
    </message>
    <message>
        <source>ダブルクリックするとブレス・コントロールを標準値に設定します</source>
        <translation>Double-click to set breath control to its default</translation>
    </message>
    <message>
        <source>ブレス</source>
        <translation>Breath</translation>
    </message>
    <message>
        <source>ブレス・コントロール（コントロール2）変更し，送信します</source>
        <translation>Changes and sends breath control (controller 2)</translation>
    </message>
    <message>
        <source>ダブルクリックするとブレス・コントロールの現在の値を送信します</source>
        <translation>Double-click to send the current value of breath control</translation>
    </message>
    <message>
        <source>ダブルクリックするとフット・コントロールを標準値に設定します</source>
        <translation>Double-click to set foot control to its default</translation>
    </message>
    <message>
        <source>フット</source>
        <translation>Foot</translation>
    </message>
    <message>
        <source>フット・コントロール（コントロール4）変更し，送信します</source>
        <translation>Changes and sends foot control (controller 4)</translation>
    </message>
    <message>
        <source>ダブルクリックするとフット・コントロールの現在の値を送信します</source>
        <translation>Double-click to send the current value of foot control</translation>
    </message>
    <message>
        <source>クリックするとポルタメントのオン／オフ（コントロール65）を送信します</source>
        <translation>Click to send portamento on/off (controller 65)</translation>
    </message>
    <message>
        <source>ポルタメント</source>
        <translation>Portamento</translation>
    </message>
    <message>
        <source>ダブルクリックするとポルタメント・タイムを標準値に設定します</source>
        <translation>Double-click to set portamento time to its default</translation>
    </message>
    <message>
        <source>ポルタメント・タイム（コントロール5）を変更し，送信します</source>
        <translation>Changes and sends portamento time (controller 5)</translation>
    </message>
    <message>
        <source>ポルタメント・タイム</source>
        <translation>Portamento time</translation>
    </message>
    <message>
        <source>ダブルクリックするとポルタメント・タイムの現在の値を送信します</source>
        <translation>Double-click to send the current value of portamento time</translation>
    </message>
    <message>
        <source>クリックすると現在表示されているプログラム・チェンジを送信し，
「プログラムの選択」ダイアログを表示します</source>
        <translation>Click to send the program change shown
and open the &quot;Choose a Program&quot; dialog</translation>
    </message>
    <message>
        <source>プログラム</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>プログラム・チェンジの番号を指定します。
Enterキーかダブルクリックでプログラム・チェンジを送信します</source>
        <translation>The program change number.
Enter or a double-click sends the program change</translation>
    </message>
    <message>
        <source>プログラム番号の範囲を選択します。
音源の機種によって選択してください</source>
        <translation>Chooses the range of program numbers.
Choose it by your synthesizer&apos;s model</translation>
    </message>
    <message>
        <source>表示方法</source>
        <translation>Numbering</translation>
    </message>
    <message>
        <source>ダブルクリックするとボリュームを標準値に設定します</source>
        <translation>Double-click to set volume to its default</translation>
    </message>
    <message>
        <source>ボリューム</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>ボリューム（コントロール7）を変更し，送信します</source>
        <translation>Changes and sends volume (controller 7)</translation>
    </message>
    <message>
        <source>ダブルクリックするとボリュームの現在の値を送信します</source>
        <translation>Double-click to send the current value of volume</translation>
    </message>
    <message>
        <source>100</source>
        <translation>100</translation>
    </message>
    <message>
        <source>ダブルクリックするとエクスプレッションを標準値に設定します</source>
        <translation>Double-click to set expression to its default</translation>
    </message>
    <message>
        <source>エクスプレッション</source>
        <translation>Expression</translation>
    </message>
    <message>
        <source>エクスプレッション（コントロール11）を変更し，送信します</source>
        <translation>Changes and sends expression (controller 11)</translation>
    </message>
    <message>
        <source>ダブルクリックするとエクスプレッションの現在の値を送信します</source>
        <translation>Double-click to send the current value of expression</translation>
    </message>
    <message>
        <source>127</source>
        <translation>127</translation>
    </message>
    <message>
        <source>ダブルクリックするとパンポットを標準値に設定します</source>
        <translation>Double-click to set pan to its default</translation>
    </message>
    <message>
        <source>パンポット</source>
        <translation>Pan</translation>
    </message>
    <message>
        <source>パンポット（コントロール10）を変更し，送信します</source>
        <translation>Changes and sends pan (controller 10)</translation>
    </message>
    <message>
        <source>ダブルクリックするとパンポットの現在の値を送信します</source>
        <translation>Double-click to send the current value of pan</translation>
    </message>
    <message>
        <source>64</source>
        <translation>64</translation>
    </message>
    <message>
        <source>ダブルクリックするとエフェクト1を標準値に設定します</source>
        <translation>Double-click to set effect 1 to its default</translation>
    </message>
    <message>
        <source>エフェクト1</source>
        <translation>Effect 1</translation>
    </message>
    <message>
        <source>エフェクト1（外部エフェクト，コントロール91）を変更し，送信します。
GS音源ではリバーブです</source>
        <translation>Changes and sends effect 1 (external effect, controller 91).
Reverb on a GS synthesizer</translation>
    </message>
    <message>
        <source>ダブルクリックするとエフェクト1の現在の値を送信します</source>
        <translation>Double-click to send the current value of effect 1</translation>
    </message>
    <message>
        <source>ダブルクリックするとエフェクト3を標準値に設定します</source>
        <translation>Double-click to set effect 3 to its default</translation>
    </message>
    <message>
        <source>エフェクト3</source>
        <translation>Effect 3</translation>
    </message>
    <message>
        <source>エフェクト3（コーラス，コントロール93）を変更し，送信します。
GS音源ではコーラスです</source>
        <translation>Changes and sends effect 3 (chorus, controller 93).
Chorus on a GS synthesizer</translation>
    </message>
    <message>
        <source>ダブルクリックするとエフェクト3の現在の値を送信します</source>
        <translation>Double-click to send the current value of effect 3</translation>
    </message>
    <message>
        <source>ダブルクリックするとエフェクト4を標準値に設定します</source>
        <translation>Double-click to set effect 4 to its default</translation>
    </message>
    <message>
        <source>エフェクト4</source>
        <translation>Effect 4</translation>
    </message>
    <message>
        <source>エフェクト4（セレステ，コントロール94）を変更し，送信します。
GS音源ではディレイです</source>
        <translation>Changes and sends effect 4 (celeste, controller 94).
Delay on a GS synthesizer</translation>
    </message>
    <message>
        <source>ダブルクリックするとエフェクト4の現在の値を送信します</source>
        <translation>Double-click to send the current value of effect 4</translation>
    </message>
    <message>
        <source>クリックするとホールド（サスティン）のオン／オフ（コントロール64）を送信します</source>
        <translation>Click to send hold (sustain) on/off (controller 64)</translation>
    </message>
    <message>
        <source>ホールド1</source>
        <translation>Hold 1</translation>
    </message>
    <message>
        <source>クリックするとソステヌートのオン／オフ（コントロール66）を送信します</source>
        <translation>Click to send sostenuto on/off (controller 66)</translation>
    </message>
    <message>
        <source>ソステヌート</source>
        <translation>Sostenuto</translation>
    </message>
    <message>
        <source>クリックするとソフト・ペダルのオン／オフ（コントロール67）を送信します</source>
        <translation>Click to send soft pedal on/off (controller 67)</translation>
    </message>
    <message>
        <source>ソフト</source>
        <translation>Soft</translation>
    </message>
    <message>
        <source>クリックするとモノ・モードのオン／オフ（コントロール126）を送信します</source>
        <translation>Click to send mono mode on/off (controller 126)</translation>
    </message>
    <message>
        <source>モノ</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>ダブルクリックするとピッチベンド・レンジを標準値に設定します</source>
        <translation>Double-click to set the pitch bend range to its default</translation>
    </message>
    <message>
        <source>ピッチベンド・レンジ</source>
        <translation>Bend range</translation>
    </message>
    <message>
        <source>ピッチベンド・レンジ（RPN0）を変更し，送信します</source>
        <translation>Changes and sends the pitch bend range (RPN 0)</translation>
    </message>
    <message>
        <source>ダブルクリックするとピッチベンド・レンジの現在の値を送信します</source>
        <translation>Double-click to send the current value of the pitch bend range</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>ダブルクリックするとファイン・チューンを標準値に設定します</source>
        <translation>Double-click to set fine tuning to its default</translation>
    </message>
    <message>
        <source>ファイン・チューン</source>
        <translation>Fine tune</translation>
    </message>
    <message>
        <source>ファイン・チューン（RPN1）を変更し，送信します</source>
        <translation>Changes and sends fine tuning (RPN 1)</translation>
    </message>
    <message>
        <source>ダブルクリックするとファイン・チューンの現在の値を送信します</source>
        <translation>Double-click to send the current value of fine tuning</translation>
    </message>
    <message>
        <source>ダブルクリックするとコース・チューンを標準値に設定します</source>
        <translation>Double-click to set coarse tuning to its default</translation>
    </message>
    <message>
        <source>コース・チューン</source>
        <translation>Coarse tune</translation>
    </message>
    <message>
        <source>コース・チューン（RPN2）を変更し，送信します</source>
        <translation>Changes and sends coarse tuning (RPN 2)</translation>
    </message>
    <message>
        <source>ダブルクリックするとコース・チューンの現在の値を送信します</source>
        <translation>Double-click to send the current value of coarse tuning</translation>
    </message>
    <message>
        <source>GMシステム・オンを送信します。デバイスIDは7F（ブロードキャスト）です</source>
        <translation>Sends GM System On. The device ID is 7F (broadcast)</translation>
    </message>
    <message>
        <source>GMシステムON</source>
        <translation>GM System On</translation>
    </message>
    <message>
        <source>GSリセットを送信します。デバイスIDは下の欄で設定します</source>
        <translation>Sends GS Reset. The device ID is set in the field below</translation>
    </message>
    <message>
        <source>ＧＳリセット</source>
        <translation>GS Reset</translation>
    </message>
    <message>
        <source>ダブルクリックするとデバイスIDを標準値に設定します</source>
        <translation>Double-click to set the device ID to its default</translation>
    </message>
    <message>
        <source>GSデバイスＩＤ</source>
        <translation>GS device ID</translation>
    </message>
    <message>
        <source>GSリセット送信時のデバイスIDを指定します</source>
        <translation>The device ID GS Reset is sent with</translation>
    </message>
    <message>
        <source>全チャネルにオール・ノート・オフ，オール・サウンド・オフを送り，
本プログラムの内部データや鍵盤の色をリセットします</source>
        <translation>Sends All Notes Off and All Sound Off on every channel,
and resets this program&apos;s note state and the key colours</translation>
    </message>
    <message>
        <source>音を消す（全チャネル）</source>
        <translation>Silence (all channels)</translation>
    </message>
    <message>
        <source>すべてのコントロール・パラメータとプログラム・チェンジを標準値に設定します</source>
        <translation>Sets every controller parameter and the program change to its default</translation>
    </message>
    <message>
        <source>パラメータのリセットと送信</source>
        <translation>Reset and send all</translation>
    </message>
    <message>
        <source>すべてのコントロール・パラメータとプログラム・チェンジを送信します</source>
        <translation>Sends every controller parameter and the program change</translation>
    </message>
    <message>
        <source>パラメータを送信</source>
        <translation>Send parameters</translation>
    </message>
    <message>
        <source>モジュレーションの値は0～127でなければなりません</source>
        <translation>Modulation must be 0 to 127</translation>
    </message>
    <message>
        <source>ブレス・コントロールの値は0～127でなければなりません</source>
        <translation>Breath control must be 0 to 127</translation>
    </message>
    <message>
        <source>フット・コントロールの値は0～127でなければなりません</source>
        <translation>Foot control must be 0 to 127</translation>
    </message>
    <message>
        <source>ポルタメント・タイムの値は0～127でなければなりません</source>
        <translation>Portamento time must be 0 to 127</translation>
    </message>
    <message>
        <source>ボリュームの値は0～127でなければなりません</source>
        <translation>Volume must be 0 to 127</translation>
    </message>
    <message>
        <source>パンポットの値は0～127でなければなりません</source>
        <translation>Pan must be 0 to 127</translation>
    </message>
    <message>
        <source>エクスプレッションの値は0～127でなければなりません</source>
        <translation>Expression must be 0 to 127</translation>
    </message>
    <message>
        <source>エフェクト1の値は0～127でなければなりません</source>
        <translation>Effect 1 must be 0 to 127</translation>
    </message>
    <message>
        <source>エフェクト3の値は0～127でなければなりません</source>
        <translation>Effect 3 must be 0 to 127</translation>
    </message>
    <message>
        <source>エフェクト4の値は0～127でなければなりません</source>
        <translation>Effect 4 must be 0 to 127</translation>
    </message>
    <message>
        <source>ピッチベンド・レンジの値は0～24でなければなりません</source>
        <translation>The pitch bend range must be 0 to 24</translation>
    </message>
    <message>
        <source>マスター・ファイン・チューンの値は-8192～8192でなければなりません</source>
        <translation>Master fine tuning must be -8192 to 8192</translation>
    </message>
    <message>
        <source>マスター・コース・チューンの値は-64～64でなければなりません</source>
        <translation>Master coarse tuning must be -64 to 64</translation>
    </message>
    <message>
        <source>プログラム番号に小数点は使えません</source>
        <translation>A program number cannot have a decimal point</translation>
    </message>
    <message>
        <source>プログラム番号の範囲外です</source>
        <translation>The program number is out of range</translation>
    </message>
    <message>
        <source>0～127</source>
        <translation>0–127</translation>
    </message>
    <message>
        <source>1～128</source>
        <translation>1–128</translation>
    </message>
</context>
<context>
    <name>TDrumColorDialog</name>
    <message>
        <source>フォント／色の選択</source>
        <translation>Font and Colours</translation>
    </message>
    <message>
        <source>設定されているフォント／色を表示します。クリックに反応します</source>
        <translation>Shows the chosen font and colours. Responds to a click</translation>
    </message>
    <message>
        <source>Acoustic Bass Drum</source>
        <translation>Acoustic Bass Drum</translation>
    </message>
    <message>
        <source>フォント変更のダイアログを表示します</source>
        <translation>Opens the font dialog</translation>
    </message>
    <message>
        <source>フォント変更(&amp;F)</source>
        <translation>&amp;Font...</translation>
    </message>
    <message>
        <source>通常の背景色を設定するダイアログを表示します</source>
        <translation>Opens the dialog for the normal background colour</translation>
    </message>
    <message>
        <source>背景色(&amp;B)</source>
        <translation>&amp;Back</translation>
    </message>
    <message>
        <source>通常の文字色を設定するダイアログを表示します</source>
        <translation>Opens the dialog for the normal text colour</translation>
    </message>
    <message>
        <source>文字色(&amp;C)</source>
        <translation>Text &amp;colour</translation>
    </message>
    <message>
        <source>クリックした時の背景色を設定するダイアログを表示します</source>
        <translation>Opens the dialog for the background colour while clicked</translation>
    </message>
    <message>
        <source>クリック時背景色(&amp;R)</source>
        <translation>Active backg&amp;round</translation>
    </message>
    <message>
        <source>クリックした時の文字色を設定するダイアログを表示します</source>
        <translation>Opens the dialog for the text colour while clicked</translation>
    </message>
    <message>
        <source>クリック時文字色(&amp;V)</source>
        <translation>Acti&amp;ve text</translation>
    </message>
    <message>
        <source>設定を中止してこのダイアログを閉じます</source>
        <translation>Closes this dialog without applying the settings</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>設定を反映してこのダイアログを閉じます</source>
        <translation>Applies the settings and closes this dialog</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TDrumPage</name>
    <message>
        <source>一覧表示のフォントと色を指定します</source>
        <translation>Chooses the font and colours of the pads</translation>
    </message>
    <message>
        <source>フォント／色変更(&amp;F)</source>
        <translation>&amp;Font and colours...</translation>
    </message>
    <message>
        <source>表示する音の名前セットを選択します。データはnote.iniから読み込んでいます</source>
        <translation>Chooses the set of names shown. They are read from note.ini</translation>
    </message>
    <message>
        <source>名前セット</source>
        <translation>Name set</translation>
    </message>
</context>
<context>
    <name>TKeyboard</name>
    <message>
        <source>マウスを押すとノート・オン，離すとノート・オフを送ります。
表示が乱れた場合は「音を消す」ボタンを押してください。
パソコンのキーボードでも音を鳴らすことができます。キーA＝ノートC4です</source>
        <translation>Pressing the mouse sends note on, releasing it note off.
If the keys look wrong, press &quot;Silence&quot;.
The computer keyboard plays too: key A is note C4</translation>
    </message>
</context>
<context>
    <name>TMainWindow</name>
    <message>
        <source>Kelvane</source>
        <translation>Kelvane</translation>
    </message>
    <message>
        <source>機能(&amp;N)</source>
        <translation>Fu&amp;nctions</translation>
    </message>
    <message>
        <source>出力ポート(&amp;M)</source>
        <translation>&amp;MIDI output</translation>
    </message>
    <message>
        <source>ヒント表示(&amp;N)</source>
        <translation>Show hi&amp;nts</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;V)</source>
        <translation>&amp;Version information</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>メイン(&amp;Z)&#x3000;</source>
        <translation>Main</translation>
    </message>
    <message>
        <source>ドラム(&amp;X)&#x3000;</source>
        <translation>Drums</translation>
    </message>
    <message>
        <source>バイナリ(&amp;C)&#x3000;</source>
        <translation>Binary</translation>
    </message>
    <message>
        <source>MIDI出力ポートを発見できません。プログラムを終了します</source>
        <translation>No MIDI output port was found. The program ends</translation>
    </message>
    <message>
        <source>「出力ポート」メニューから，MIDI出力ポートを選択してください</source>
        <translation>Please choose a MIDI output port from the &quot;MIDI output&quot; menu</translation>
    </message>
    <message>
        <source>Kelvane（ケルヴェイン）</source>
        <translation>Kelvane</translation>
    </message>
    <message>
        <source>Ver.%1（2000/03/04）</source>
        <translation>Version %1 (2000-03-04)</translation>
    </message>
    <message>
        <source>MIDIモニター</source>
        <translation>MIDI Monitor</translation>
    </message>
    <message>
        <source>Ctrl+M</source>
        <translation>Ctrl+M</translation>
    </message>
</context>
<context>
    <name>TMidiMonitorWindow</name>
    <message>
        <source>ノート</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>コントロール</source>
        <translation>Controllers</translation>
    </message>
    <message>
        <source>プログラム</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>プレッシャー</source>
        <translation>Pressure</translation>
    </message>
    <message>
        <source>ピッチベンド</source>
        <translation>Pitch bend</translation>
    </message>
    <message>
        <source>エクスクルーシブ</source>
        <translation>System exclusive</translation>
    </message>
    <message>
        <source>システム・コモン</source>
        <translation>System common</translation>
    </message>
    <message>
        <source>リアルタイム</source>
        <translation>Real-time</translation>
    </message>
    <message>
        <source>その他</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>一時停止中：%L1件が表示を待っています</source>
        <translation>Paused: %L1 messages waiting to be shown</translation>
    </message>
    <message>
        <source>スタンダードMIDIファイル(*.mid)|*.mid|すべてのファイル(*.*)|*.*</source>
        <translation>Standard MIDI file(*.mid)|*.mid|All files(*.*)|*.*</translation>
    </message>
    <message>
        <source>テキスト(*.txt)|*.txt|すべてのファイル(*.*)|*.*</source>
        <translation>Text (*.txt)|*.txt|All files (*.*)|*.*</translation>
    </message>
    <message>
        <source>MIDIモニター</source>
        <translation>MIDI Monitor</translation>
    </message>
    <message>
        <source>この種類のメッセージを表に表示します</source>
        <translation>Shows messages of this kind in the table</translation>
    </message>
    <message>
        <source>チャンネル(&amp;H)</source>
        <translation>C&amp;hannels</translation>
    </message>
    <message>
        <source>表示するチャンネル</source>
        <translation>Channels shown</translation>
    </message>
    <message>
        <source>すべて表示</source>
        <translation>Show all</translation>
    </message>
    <message>
        <source>チャンネル %1</source>
        <translation>Channel %1</translation>
    </message>
    <message>
        <source>入力(&amp;I)</source>
        <translation>&amp;In</translation>
    </message>
    <message>
        <source>出力(&amp;O)</source>
        <translation>&amp;Out</translation>
    </message>
    <message>
        <source>意味で絞り込み(&amp;F):</source>
        <translation>&amp;Find in meaning:</translation>
    </message>
    <message>
        <source>意味で絞り込み</source>
        <translation>Find in meaning</translation>
    </message>
    <message>
        <source>MIDIメッセージの一覧</source>
        <translation>MIDI messages</translation>
    </message>
    <message>
        <source>一時停止(&amp;P)</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>一時停止</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>クリア(&amp;C)</source>
        <translation>&amp;Clear</translation>
    </message>
    <message>
        <source>クリア</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>記録とバイナリ・ページのモニターを空にします</source>
        <translation>Empties the record and the Binary page&apos;s monitor</translation>
    </message>
    <message>
        <source>最新の行を追う(&amp;L)</source>
        <translation>Follow the &amp;latest</translation>
    </message>
    <message>
        <source>時計の時刻(&amp;T)</source>
        <translation>Clock &amp;time</translation>
    </message>
    <message>
        <source>送信も記録(&amp;S)</source>
        <translation>Record &amp;sent messages</translation>
    </message>
    <message>
        <source>テキスト保存(&amp;X)...</source>
        <translation>E&amp;xport text...</translation>
    </message>
    <message>
        <source>表示中の行をテキストで保存</source>
        <translation>Save the rows shown as text</translation>
    </message>
    <message>
        <source>MIDIファイル保存(&amp;M)...</source>
        <translation>Export &amp;MIDI file...</translation>
    </message>
    <message>
        <source>記録をスタンダードMIDIファイルで保存</source>
        <translation>Save the record as a Standard MIDI file</translation>
    </message>
</context>
<context>
    <name>TMidiOutput</name>
    <message>
        <source>MIDI出力ポートが開いていません。「出力ポート」メニューから，MIDI出力ポートを選択してください</source>
        <translation>No MIDI output port is open. Please choose a MIDI output port from the &quot;MIDI output&quot; menu</translation>
    </message>
</context>
<context>
    <name>TMonitor</name>
    <message>
        <source>MIDI入力なし</source>
        <translation>No MIDI input</translation>
    </message>
    <message>
        <source>MIDIイン・オーバーフロー</source>
        <translation>MIDI input overflow</translation>
    </message>
    <message>
        <source>（前回の表示中に、さらに%1件の入力が失われました）</source>
        <translation>(While the last notice was shown, %1 more inputs were lost)</translation>
    </message>
    <message>
        <source>MIDI入力（%1バイト）</source>
        <translation>MIDI input (%1 bytes)</translation>
    </message>
    <message>
        <source>MIDI入力</source>
        <translation>MIDI input</translation>
    </message>
    <message>
        <source>（これより前の%L1行は表示していません。保存すると全行を書き出します）</source>
        <translation>(%L1 earlier lines are not shown. Saving writes every line.)</translation>
    </message>
    <message>
        <source>%1（見つかりません）</source>
        <translation>%1 (not found)</translation>
    </message>
</context>
<context>
    <name>TMonitorTableModel</name>
    <message>
        <source>時間（秒）</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <source>時刻</source>
        <translation>Time of day</translation>
    </message>
    <message>
        <source>間隔（ミリ秒）</source>
        <translation>Gap (ms)</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>チャンネル</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>種類</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>意味</source>
        <translation>Meaning</translation>
    </message>
    <message>
        <source>バイト</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>入力</source>
        <translation>In</translation>
    </message>
    <message>
        <source>出力</source>
        <translation>Out</translation>
    </message>
</context>
<context>
    <name>TOutputPortMenu</name>
    <message>
        <source>音声出力を開けませんでした。別の出力は環境変数 KELVANE_AUDIO_DRIVER で選べます（例：jack、pulseaudio、alsa）</source>
        <translation>No audio output could be opened. The environment variable KELVANE_AUDIO_DRIVER chooses another (jack, pulseaudio, alsa, ...)</translation>
    </message>
    <message>
        <source>%1 は他のプログラムが使用中です</source>
        <translation>%1 is in use by another program</translation>
    </message>
    <message>
        <source>%1 はもうありません</source>
        <translation>%1 is no longer there</translation>
    </message>
    <message>
        <source>MIDIのサービス（JACKサーバーなど）が動いていません</source>
        <translation>The MIDI service (a JACK server, say) is not running</translation>
    </message>
    <message>
        <source>指定された出力ポートを開けませんでした</source>
        <translation>The chosen output port could not be opened</translation>
    </message>
    <message>
        <source>%1（見つかりません）</source>
        <translation>%1 (not found)</translation>
    </message>
</context>
<context>
    <name>TPortStatus</name>
    <message>
        <source>出力ポート %1 が見つかりません — 戻ると自動で再接続します</source>
        <translation>Output port %1 is gone — it will reconnect when it returns</translation>
    </message>
    <message>
        <source>出力ポート %1 に再接続しました</source>
        <translation>Reconnected to output port %1</translation>
    </message>
    <message>
        <source>出力ポート %1 が見つかったので開きました</source>
        <translation>Output port %1 has appeared and is open</translation>
    </message>
    <message>
        <source>出力ポート %1 がないため，送信できませんでした</source>
        <translation>Not sent: output port %1 is gone</translation>
    </message>
    <message>
        <source>入力ポート %1 が見つかりません — 戻ると自動で再接続します</source>
        <translation>Input port %1 is gone — it will reconnect when it returns</translation>
    </message>
    <message>
        <source>入力ポート %1 に再接続しました</source>
        <translation>Reconnected to input port %1</translation>
    </message>
    <message>
        <source>入力ポート %1 が見つかったので開きました</source>
        <translation>Input port %1 has appeared and is open</translation>
    </message>
    <message>
        <source>出力：%1　　入力：%2</source>
        <translation>Output: %1    Input: %2</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>none</translation>
    </message>
</context>
<context>
    <name>TProgramListDialog</name>
    <message>
        <source>プログラムの選択</source>
        <translation>Choose a Program</translation>
    </message>
    <message>
        <source>フォント変更(&amp;F)</source>
        <translation>&amp;Font...</translation>
    </message>
    <message>
        <source>列</source>
        <translation>Columns</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>プログラムを選択します。クリックするとその音色が鳴ります。
マウスの左右ボタンで音程が1オクターブ異なります</source>
        <translation>Chooses a program. A click plays the voice.
The left and right mouse buttons play an octave apart</translation>
    </message>
    <message>
        <source>一覧表示のフォントを選択します</source>
        <translation>Chooses the font of the list</translation>
    </message>
    <message>
        <source>一覧表示で一度に何列表示するかを指定します</source>
        <translation>How many columns the list shows</translation>
    </message>
    <message>
        <source>一覧表示に使うプログラムの名前セットを選択します。program.iniから読み込んでいます</source>
        <translation>Chooses the set of program names listed. They are read from program.ini</translation>
    </message>
    <message>
        <source>音色選択を中止し，元の画面に戻ります</source>
        <translation>Goes back without choosing a voice</translation>
    </message>
    <message>
        <source>音色を選択して元の画面に戻ります</source>
        <translation>Chooses the voice and goes back</translation>
    </message>
    <message>
        <source>呼び出したい音色を選択してOKボタンを押してください</source>
        <translation>Please choose a voice and press OK</translation>
    </message>
</context>
<context>
    <name>TRawSender</name>
    <message>
        <source>MIDI出力（%1バイト）</source>
        <translation>MIDI output (%1 bytes)</translation>
    </message>
    <message>
        <source>MIDI出力</source>
        <translation>MIDI output</translation>
    </message>
    <message>
        <source>出力ポートが変わったため送信を停止しました（%1 / %2バイト送信済み，システム・エクスクルーシブ・メッセージの途中）</source>
        <translation>Sending stopped, the output port changed (%1 of %2 bytes sent, inside a system exclusive message)</translation>
    </message>
    <message>
        <source>出力ポートが変わったため送信を停止しました（%1 / %2バイト送信済み）</source>
        <translation>Sending stopped, the output port changed (%1 of %2 bytes sent)</translation>
    </message>
    <message>
        <source>送信を停止しました（%1 / %2バイト送信済み，システム・エクスクルーシブ・メッセージの途中）</source>
        <translation>Sending stopped (%1 of %2 bytes sent, inside a system exclusive message)</translation>
    </message>
    <message>
        <source>送信を停止しました（%1 / %2バイト送信済み）</source>
        <translation>Sending stopped (%1 of %2 bytes sent)</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>送信を停止</source>
        <translation>Stop sending</translation>
    </message>
    <message>
        <source>送信中のデータの残りを送らずに止めます（Esc）</source>
        <translation>Stops sending: the rest of the data is not sent (Esc)</translation>
    </message>
    <message>
        <source>修正</source>
        <translation>Fix</translation>
    </message>
    <message>
        <source>チェックサムをすべて修正</source>
        <translation>Fix all checksums</translation>
    </message>
    <message>
        <source>チェックサムが違うメッセージのチェックサムをすべて計算し直します</source>
        <translation>Computes the checksum of every message whose checksum is wrong again</translation>
    </message>
    <message>
        <source>選択範囲を送信(&amp;E)</source>
        <translation>S&amp;end the selection</translation>
    </message>
    <message>
        <source>送信を停止(&amp;S)</source>
        <translation>&amp;Stop sending</translation>
    </message>
    <message>
        <source>チェックサムをすべて修正(&amp;K)</source>
        <translation>Fix all chec&amp;ksums</translation>
    </message>
    <message>
        <source>チェックサムが違うメッセージ: %1</source>
        <translation>Messages with a wrong checksum: %1</translation>
    </message>
    <message>
        <source>送信中：%1 / %2バイト&#x3000;残り %3</source>
        <translation>Sending: %1 of %2 bytes, %3 left</translation>
    </message>
    <message>
        <source>メッセージ後の待ち時間（%1ミリ秒）(&amp;W)...</source>
        <translation>&amp;Wait after each message (%1 ms)...</translation>
    </message>
</context>
<context>
    <name>TWaitAfterMessageDialog</name>
    <message>
        <source>メッセージ後の待ち時間</source>
        <translation>Wait after each message</translation>
    </message>
    <message>
        <source>F7で終わるメッセージを送った後，次のパケットを送るまでに待つ時間です。シンセサイザーがバルク・データをメモリーに書き込む間，待つことができます。0のときは送信間隔で送ります。</source>
        <translation>How long to wait after sending a message that ends with F7 before the next packet, so that a synthesizer can write bulk data to its memory. 0 sends at the packet interval.</translation>
    </message>
    <message>
        <source>待ち時間（ミリ秒）</source>
        <translation>Wait (ms)</translation>
    </message>
    <message>
        <source>待ち時間（ミリ秒）(&amp;W)</source>
        <translation>&amp;Wait (ms)</translation>
    </message>
</context>
</TS>
