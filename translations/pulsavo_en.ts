<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>ProgressStore</name>
    <message>
        <source>成績を記録できません（SQLite のドライバーがありません）。</source>
        <translation>Your results cannot be recorded (the SQLite driver is missing).</translation>
    </message>
    <message>
        <source>成績ファイル %1 が壊れていて、移すこともできません。成績は保存されません。</source>
        <translation>The results file %1 is damaged and cannot be moved aside. Results will not be saved.</translation>
    </message>
    <message>
        <source>成績ファイルが壊れていたため %1 に移し、新しい成績ファイルを作りました。</source>
        <translation>The results file was damaged, so it was moved to %1 and a new results file was started.</translation>
    </message>
    <message>
        <source>成績ファイル %1 は新しい版の Pulsavo で作られています。成績は保存されません。</source>
        <translation>The results file %1 was made by a newer version of Pulsavo. Results will not be saved.</translation>
    </message>
    <message>
        <source>成績ファイル %1 に書き込めないため、成績は保存されません。</source>
        <translation>The results file %1 cannot be written to, so results will not be saved.</translation>
    </message>
    <message>
        <source>成績ファイル %1 を移せませんでした。成績はそのままです。</source>
        <translation>The results file %1 could not be moved. Your results are unchanged.</translation>
    </message>
    <message>
        <source>これまでの成績を %1 に移し、新しく記録を始めました。</source>
        <translation>Your results so far were moved to %1 and a new record was started.</translation>
    </message>
    <message>
        <source>成績を保存できませんでした: %1</source>
        <translation>Your results could not be saved: %1</translation>
    </message>
    <message>
        <source>この回答を保存できませんでした: %1</source>
        <translation>This answer could not be saved: %1</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>pulsavo: no display found; pulsavo-strip works without one
</source>
        <translation>pulsavo: no display found; pulsavo-strip works without one
</translation>
    </message>
    <message>
        <source>Pulsavo, a trainer for reading electrocardiograms.</source>
        <translation>Pulsavo, a trainer for reading electrocardiograms.</translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <translation>Show this help and exit.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Show the version and exit.</translation>
    </message>
    <message>
        <source>Language of the windows: ja or en (default: the last chosen, else the system&apos;s).</source>
        <translation>Language of the windows: ja or en (default: the last chosen, else the system&apos;s).</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>unexpected argument &apos;%1&apos;</translation>
    </message>
    <message>
        <source>unknown language &apos;%1&apos; for --lang (ja or en)</source>
        <translation>unknown language &apos;%1&apos; for --lang (ja or en)</translation>
    </message>
</context>
<context>
    <name>pulsavo-strip</name>
    <message>
        <source>unknown language &apos;%1&apos; for --lang (ja or en)</source>
        <translation>unknown language &apos;%1&apos; for --lang (ja or en)</translation>
    </message>
    <message>
        <source>pulsavo-strip events --ticks N --select TICK:RHYTHM[@SEED] [--select ...] [--csv FILE]
  Steps the monitor N ticks of 10 ms as trace does and prints one CSV row per wave laid
  whose first step is drawn by tick N, in the order of that tick:
  tick,kind,beat,length,role
  tick    the tick its first step is drawn on; length: its steps (ticks)
  kind    P, QRS, T, V (ventricular beat), f (fibrillation wave), F (flutter wave),
          VF (ventricular fibrillation wave)
  beat    the number of the beat it belongs to, from 1 in the order beats are laid
  role    conducted, blocked (no QRS follows), missing (a beat due that did not come),
          supraventricular or ventricular (ectopic), escape
  --select, --csv as for trace
</source>
        <translation>pulsavo-strip events --ticks N --select TICK:RHYTHM[@SEED] [--select ...] [--csv FILE]
  Steps the monitor N ticks of 10 ms as trace does and prints one CSV row per wave laid
  whose first step is drawn by tick N, in the order of that tick:
  tick,kind,beat,length,role
  tick    the tick its first step is drawn on; length: its steps (ticks)
  kind    P, QRS, T, V (ventricular beat), f (fibrillation wave), F (flutter wave),
          VF (ventricular fibrillation wave)
  beat    the number of the beat it belongs to, from 1 in the order beats are laid
  role    conducted, blocked (no QRS follows), missing (a beat due that did not come),
          supraventricular or ventricular (ectopic), escape
  --select, --csv as for trace
</translation>
    </message>
    <message>
        <source>unknown option &apos;%1&apos; for events</source>
        <translation>unknown option &apos;%1&apos; for events</translation>
    </message>
    <message>
        <source>events needs --ticks N</source>
        <translation>events needs --ticks N</translation>
    </message>
</context>
<context>
    <name>pulsavo::AboutDialog</name>
    <message>
        <source>バージョン情報 Tavix</source>
        <translation>About Tavix</translation>
    </message>
    <message>
        <source>心電図トレーニング</source>
        <translation>ECG training</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Pulsavo のアイコン</source>
        <translation>Pulsavo icon</translation>
    </message>
    <message>
        <source>製品のアイコン</source>
        <translation>The product&apos;s icon</translation>
    </message>
    <message>
        <source>製品名と版</source>
        <translation>Product name and version</translation>
    </message>
    <message>
        <source>製品の説明</source>
        <translation>What the product is</translation>
    </message>
    <message>
        <source>このウィンドウを閉じます</source>
        <translation>Closes this window</translation>
    </message>
</context>
<context>
    <name>pulsavo::ScopePanel</name>
    <message>
        <source>モニター</source>
        <translation>Monitor</translation>
    </message>
</context>
<context>
    <name>pulsavo::TrainerDialog</name>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>決定</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>波形選択</source>
        <translation>Rhythms</translation>
    </message>
    <message>
        <source>説明</source>
        <translation>Explanation</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>バージョン情報 Tavix(&amp;A)...</source>
        <translation>&amp;About Tavix...</translation>
    </message>
    <message>
        <source>Language / 言語(&amp;L)</source>
        <extracomment>The language menu: the same in both languages, so it can be found in either.</extracomment>
        <translation>&amp;Language / 言語</translation>
    </message>
    <message>
        <source>日本語</source>
        <extracomment>The language&apos;s own name, the same in every language.</extracomment>
        <translation>日本語</translation>
    </message>
    <message>
        <source>English</source>
        <extracomment>The language&apos;s own name, the same in every language.</extracomment>
        <translation>English</translation>
    </message>
    <message>
        <source>強調表示(&amp;H)</source>
        <translation>&amp;Highlight</translation>
    </message>
    <message>
        <source>赤(&amp;R)</source>
        <translation>&amp;Red</translation>
    </message>
    <message>
        <source>太線(&amp;T)</source>
        <translation>&amp;Thick line</translation>
    </message>
    <message>
        <source>色覚に配慮した配色(&amp;S)</source>
        <translation>Colour-blind &amp;safe colours</translation>
    </message>
    <message>
        <source>トレーナーを終了します</source>
        <translation>Ends the trainer</translation>
    </message>
    <message>
        <source>不整脈の一覧です。選んで「決定」を押すか、ダブルクリックすると、モニターに表示します</source>
        <translation>The list of rhythms. Choose one and press Show, or double-click it, to play it on the monitor</translation>
    </message>
    <message>
        <source>選んだ波形をモニターに表示し、その名前と説明を表示します</source>
        <translation>Plays the chosen rhythm on the monitor and shows its name and explanation</translation>
    </message>
    <message>
        <source>波形名</source>
        <translation>Rhythm name</translation>
    </message>
    <message>
        <source>モニターに表示している波形の名前</source>
        <translation>The name of the rhythm on the monitor</translation>
    </message>
    <message>
        <source>モニターに表示している波形の説明です。F6 キーでここに移動して読めます</source>
        <translation>The explanation of the rhythm on the monitor. Press F6 to move here and read it</translation>
    </message>
    <message>
        <source>下の一覧の見出し</source>
        <translation>Heading of the list below</translation>
    </message>
    <message>
        <source>下の説明欄の見出し</source>
        <translation>Heading of the explanation box below</translation>
    </message>
    <message>
        <source>モニター：波形なし</source>
        <translation>monitor: no rhythm</translation>
    </message>
    <message>
        <source>モニター：%1、毎分約 %2 回</source>
        <translation>monitor: %1, about %2 per minute</translation>
    </message>
    <message>
        <source>モニター：%1</source>
        <translation>monitor: %1</translation>
    </message>
</context>
</TS>
