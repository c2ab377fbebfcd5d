<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>MonitorText</name>
    <message>
        <source>NIBP mmHg</source>
        <translation>NIBP mmHg</translation>
    </message>
    <message>
        <source>%1 分前</source>
        <translation>%1 min ago</translation>
    </message>
    <message>
        <source>RESP /分</source>
        <translation>RESP /min</translation>
    </message>
</context>
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
        <source>成績ファイル %1 に今は書き込めません（ほかのプログラムが使用中、またはディスクがいっぱい）。保存待ちの回答 %2 件は、書き込めるようになりしだい保存します。</source>
        <translation>The answers file %1 cannot be written just now (another program is using it, or the disk is full). %2 answer(s) are waiting and will be saved as soon as it can be written.</translation>
    </message>
    <message>
        <source>この回答を記録できませんでした。</source>
        <translation>This answer could not be recorded.</translation>
    </message>
</context>
<context>
    <name>ScenarioFile</name>
    <message>
        <source>NUL 文字を含んでいます</source>
        <translation>contains a NUL character</translation>
    </message>
    <message>
        <source>入れ子が深すぎます（%1 段まで）</source>
        <translation>nested too deeply (at most %1 levels)</translation>
    </message>
    <message>
        <source>知らないキー %1</source>
        <translation>unknown key %1</translation>
    </message>
    <message>
        <source>キー %1 が二度あります</source>
        <translation>the key %1 appears twice</translation>
    </message>
    <message>
        <source>文字列</source>
        <translation>a string</translation>
    </message>
    <message>
        <source>数</source>
        <translation>a number</translation>
    </message>
    <message>
        <source>オブジェクト</source>
        <translation>an object</translation>
    </message>
    <message>
        <source>配列</source>
        <translation>an array</translation>
    </message>
    <message>
        <source>真偽値</source>
        <translation>true or false</translation>
    </message>
    <message>
        <source>%1 がありません</source>
        <translation>%1 is missing</translation>
    </message>
    <message>
        <source>%1 は%2でなければなりません</source>
        <translation>%1 must be %2</translation>
    </message>
    <message>
        <source>%1 は整数でなければなりません（%2）</source>
        <translation>%1 must be a whole number (not %2)</translation>
    </message>
    <message>
        <source>%1 は %2 から %3 まで（%4 は範囲外）</source>
        <translation>%1 must be from %2 to %3 (%4 is out of range)</translation>
    </message>
    <message>
        <source>%1 が長すぎます（%2 文字まで）</source>
        <translation>%1 is too long (at most %2 characters)</translation>
    </message>
    <message>
        <source>%1 に制御文字があります</source>
        <translation>%1 contains a control character</translation>
    </message>
    <message>
        <source>%1 が空です</source>
        <translation>%1 is empty</translation>
    </message>
    <message>
        <source>血圧 %1 は「120/80」の形で、収縮期（20〜300）が拡張期より高くなければなりません</source>
        <translation>the blood pressure %1 must read like 120/80, the systolic (20 to 300) above the diastolic</translation>
    </message>
    <message>
        <source>知らないリズム %1</source>
        <translation>unknown rhythm %1</translation>
    </message>
    <message>
        <source>知らないパラメーター %1</source>
        <translation>unknown parameter %1</translation>
    </message>
    <message>
        <source>パラメーター %1 はリズム %2 には使えません</source>
        <translation>the parameter %1 does not apply to the rhythm %2</translation>
    </message>
    <message>
        <source>知らない移行 %1</source>
        <translation>unknown transition %1</translation>
    </message>
    <message>
        <source>%1 は auto か manual です（%2 ではなく）</source>
        <translation>%1 is auto or manual (not %2)</translation>
    </message>
    <message>
        <source>自動で進む手順には %1 が必要です</source>
        <translation>a step that advances by itself needs %1</translation>
    </message>
    <message>
        <source>%1 が多すぎます（%2 個まで）</source>
        <translation>%1 has too many entries (at most %2)</translation>
    </message>
    <message>
        <source>知らないイベント %1</source>
        <translation>unknown event %1</translation>
    </message>
    <message>
        <source>Pulsavo のシナリオではありません（format が pulsavo-scenario ではない）</source>
        <translation>not a Pulsavo scenario (format is not pulsavo-scenario)</translation>
    </message>
    <message>
        <source>版 %1 のシナリオは読めません（この Pulsavo は版 %2 まで）</source>
        <translation>a scenario of version %1 cannot be read (this Pulsavo reads up to version %2)</translation>
    </message>
    <message>
        <source>手順がありません</source>
        <translation>there are no steps</translation>
    </message>
    <message>
        <source>手順が多すぎます（%1 まで）</source>
        <translation>too many steps (at most %1)</translation>
    </message>
    <message>
        <source>JSON として読めません（%1 バイト目: %2）</source>
        <translation>not readable as JSON (at byte %1: %2)</translation>
    </message>
    <message>
        <source>手順 %1: %2</source>
        <translation>step %1: %2</translation>
    </message>
    <message>
        <source>手順 %1（%2）: %3</source>
        <translation>step %1 (%2): %3</translation>
    </message>
    <message>
        <source>ファイルが大きすぎます（%1 バイトまで）</source>
        <translation>the file is too large (at most %1 bytes)</translation>
    </message>
    <message>
        <source>いちばん外側が JSON のオブジェクトではありません</source>
        <translation>the outermost value is not a JSON object</translation>
    </message>
    <message>
        <source>手順は%1でなければなりません</source>
        <translation>a step must be %1</translation>
    </message>
    <message>
        <source>ファイルを開けません: %1</source>
        <translation>cannot open the file: %1</translation>
    </message>
    <message>
        <source>ファイルを読めません: %1</source>
        <translation>cannot read the file: %1</translation>
    </message>
    <message>
        <source>%1 に保存できません: %2</source>
        <translation>cannot save to %1: %2</translation>
    </message>
    <message>
        <source>%1 は %2 のどれかです（%3 ではなく）</source>
        <translation>%1 is one of %2 (not %3)</translation>
    </message>
    <message>
        <source>ファイル名が空です</source>
        <translation>the file name is empty</translation>
    </message>
</context>
<context>
    <name>StripSaving</name>
    <message>
        <source>記録紙を保存</source>
        <translation>Save strip</translation>
    </message>
    <message>
        <source>保存できるのは、6 秒以上表示した後です。</source>
        <translation>A strip can be saved once the monitor has shown at least 6 seconds.</translation>
    </message>
    <message>
        <source>保存する秒数 (最後の何秒か):</source>
        <translation>Seconds to save (the last ones shown):</translation>
    </message>
    <message>
        <source>PNG 画像 (*.png);;SVG 画像 (*.svg);;PDF (*.pdf)</source>
        <translation>PNG image (*.png);;SVG image (*.svg);;PDF (*.pdf)</translation>
    </message>
    <message>
        <source>%1 を保存できませんでした: %2</source>
        <translation>Could not save %1: %2</translation>
    </message>
    <message>
        <source>未回答の問題</source>
        <translation>Unanswered question</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>pulsavo: cannot open a window: %1; pulsavo-strip works without a display
</source>
        <translation>pulsavo: cannot open a window: %1; pulsavo-strip works without a display
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
    <message>
        <source>Open the practice window instead of the trainer.</source>
        <translation>Open the practice window instead of the trainer.</translation>
    </message>
    <message>
        <source>Keep practice answers in the database at PATH.</source>
        <translation>Keep practice answers in the database at PATH.</translation>
    </message>
    <message>
        <source>PATH</source>
        <translation>PATH</translation>
    </message>
    <message>
        <source>--db needs a file name</source>
        <translation>--db needs a file name</translation>
    </message>
    <message>
        <source>Play the exam with this code in the practice window.</source>
        <translation>Play the exam with this code in the practice window.</translation>
    </message>
    <message>
        <source>CODE</source>
        <translation>CODE</translation>
    </message>
    <message>
        <source>%1 is given twice; give it once</source>
        <translation>%1 is given twice; give it once</translation>
    </message>
    <message>
        <source>--db takes a file name, not the option-like &apos;%1&apos; (write ./%1 for a file named so)</source>
        <translation>--db takes a file name, not the option-like &apos;%1&apos; (write ./%1 for a file named so)</translation>
    </message>
    <message>
        <source>Open the gradebook window on the answers databases and hand-in files given (with --exam, of that exam).</source>
        <translation>Open the gradebook window on the answers databases and hand-in files given (with --exam, of that exam).</translation>
    </message>
    <message>
        <source>With --gradebook: a file to grade.</source>
        <translation>With --gradebook: a file to grade.</translation>
    </message>
    <message>
        <source>Open the ward monitor instead of the trainer.</source>
        <translation>Open the ward monitor instead of the trainer.</translation>
    </message>
    <message>
        <source>--ward cannot be combined with --practice, --exam or --gradebook</source>
        <translation>--ward cannot be combined with --practice, --exam or --gradebook</translation>
    </message>
    <message>
        <source>Open the instructor&apos;s console instead of the trainer.</source>
        <translation>Open the instructor&apos;s console instead of the trainer.</translation>
    </message>
    <message>
        <source>--instructor cannot be combined with --practice, --exam, --gradebook or --ward</source>
        <translation>--instructor cannot be combined with --practice, --exam, --gradebook or --ward</translation>
    </message>
    <message>
        <source>Join the class with this code as a learner.</source>
        <translation>Join the class with this code as a learner.</translation>
    </message>
    <message>
        <source>With --join: the class&apos;s address (found on the room&apos;s network if left out).</source>
        <translation>With --join: the class&apos;s address (found on the room&apos;s network if left out).</translation>
    </message>
    <message>
        <source>With --join: the name the instructor sees.</source>
        <translation>With --join: the name the instructor sees.</translation>
    </message>
    <message>
        <source>--join cannot be combined with --practice, --exam, --gradebook, --ward or --instructor</source>
        <translation>--join cannot be combined with --practice, --exam, --gradebook, --ward or --instructor</translation>
    </message>
    <message>
        <source>--host and --name go with --join</source>
        <translation>--host and --name go with --join</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a class code (6 letters and digits)</source>
        <translation>&apos;%1&apos; is not a class code (6 letters and digits)</translation>
    </message>
    <message>
        <source>--name takes 1 to 40 characters without control characters</source>
        <translation>--name takes 1 to 40 characters without control characters</translation>
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
    <name>pulsavo::CaliperOverlay</name>
    <message>
        <source>キャリパーを削除</source>
        <translation>Delete caliper</translation>
    </message>
    <message>
        <source>キャリパーをすべて消去</source>
        <translation>Clear all calipers</translation>
    </message>
    <message>
        <source>RR</source>
        <translation>RR</translation>
    </message>
    <message>
        <source>P</source>
        <translation>P</translation>
    </message>
    <message>
        <source>Q</source>
        <translation>Q</translation>
    </message>
    <message>
        <source>R</source>
        <translation>R</translation>
    </message>
    <message>
        <source>T</source>
        <translation>T</translation>
    </message>
    <message>
        <source>PP</source>
        <translation>PP</translation>
    </message>
    <message>
        <source>PR</source>
        <translation>PR</translation>
    </message>
    <message>
        <source>QRS 幅</source>
        <translation>QRS width</translation>
    </message>
    <message>
        <source>%1 %2 ms</source>
        <translation>%1 %2 ms</translation>
    </message>
    <message>
        <source>%1 %2 ms  %3/分</source>
        <translation>%1 %2 ms  %3/min</translation>
    </message>
    <message>
        <source>この範囲に %1 はありません</source>
        <translation>No %1 in this range</translation>
    </message>
    <message>
        <source>正解: 真の値 %1 ms, 誤差 %2 ms</source>
        <translation>Correct: true value %1 ms, error %2 ms</translation>
    </message>
    <message>
        <source>ずれ: 真の値 %1 ms, 誤差 %2 ms</source>
        <translation>Off: true value %1 ms, error %2 ms</translation>
    </message>
</context>
<context>
    <name>pulsavo::ClassPanel</name>
    <message>
        <source>授業を始められません: %1</source>
        <translation>Cannot start the class: %1</translation>
    </message>
    <message>
        <source>この波形は？</source>
        <translation>What is this rhythm?</translation>
    </message>
    <message>
        <source>質問を送れませんでした</source>
        <translation>The question could not be sent</translation>
    </message>
    <message>
        <source>参加を承認制にする(&amp;V)</source>
        <translation>Appro&amp;ve each learner</translation>
    </message>
    <message>
        <source>参加コード</source>
        <translation>Join code</translation>
    </message>
    <message>
        <source>参加者(&amp;L)</source>
        <translation>&amp;Learners</translation>
    </message>
    <message>
        <source>承認(&amp;Y)</source>
        <translation>Admit (&amp;Y)</translation>
    </message>
    <message>
        <source>拒否(&amp;N)</source>
        <translation>Turn away (&amp;N)</translation>
    </message>
    <message>
        <source>「この波形は？」と全員に聞く(&amp;Q)</source>
        <translation>Ask everyone “What is this rhythm?” (&amp;Q)</translation>
    </message>
    <message>
        <source>回答を締め切る(&amp;X)</source>
        <translation>Close the answers (&amp;X)</translation>
    </message>
    <message>
        <source>授業を終える(&amp;E)</source>
        <translation>&amp;End the class</translation>
    </message>
    <message>
        <source>授業を始める(&amp;S)</source>
        <translation>&amp;Start a class</translation>
    </message>
    <message>
        <source>授業を始めると、同じネットワークの学習者がコードで参加できます。</source>
        <translation>Once the class starts, learners on the same network join with its code.</translation>
    </message>
    <message>
        <source>%1（承認待ち）</source>
        <translation>%1 (waiting for approval)</translation>
    </message>
    <message>
        <source>参加者(&amp;L): %1 人</source>
        <translation>&amp;Learners: %1</translation>
    </message>
    <message>
        <source>この波形は？ — 回答 %1 人</source>
        <translation>What is this rhythm? — %1 answered</translation>
    </message>
    <message>
        <source>コードだけでは見つけてもらえません (UDP %1)。学習者にはアドレスを伝えてください。</source>
        <translation>Learners cannot find the class by its code alone (UDP %1). Give them the address.</translation>
    </message>
    <message>
        <source>ブラウザ: %1
Pulsavo: pulsavo --join %2（見つからないときは --host %3）</source>
        <translation>Browser: %1
Pulsavo: pulsavo --join %2 (if it is not found, --host %3)</translation>
    </message>
</context>
<context>
    <name>pulsavo::ConfusionMap</name>
    <message>
        <source>表示: %1
回答: %2
%3 回</source>
        <translation>Shown: %1
Answered: %2
Times: %3</translation>
    </message>
</context>
<context>
    <name>pulsavo::DebriefPanel</name>
    <message>
        <source>シナリオ開始</source>
        <translation>Scenario started</translation>
    </message>
    <message>
        <source>ステップ</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>波形</source>
        <translation>Rhythm</translation>
    </message>
    <message>
        <source>パラメーター</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>イベント</source>
        <translation>Event</translation>
    </message>
    <message>
        <source>一時停止</source>
        <translation>Frozen</translation>
    </message>
    <message>
        <source>再開</source>
        <translation>Resumed</translation>
    </message>
    <message>
        <source>回答</source>
        <translation>Answer</translation>
    </message>
    <message>
        <source>メモ</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>シナリオ終了</source>
        <translation>Scenario ended</translation>
    </message>
    <message>
        <source>時刻</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>種類</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>内容</source>
        <translation>What</translation>
    </message>
    <message>
        <source>PDF に保存(&amp;D)...</source>
        <translation>Save as P&amp;DF...</translation>
    </message>
    <message>
        <source>デブリーフ記録</source>
        <translation>Debrief log</translation>
    </message>
    <message>
        <source>デブリーフ記録  %1</source>
        <translation>Debrief log  %1</translation>
    </message>
    <message>
        <source>デブリーフ記録を保存</source>
        <translation>Save debrief log</translation>
    </message>
    <message>
        <source>PDF (*.pdf)</source>
        <translation>PDF (*.pdf)</translation>
    </message>
    <message>
        <source>%1 を保存できませんでした: %2</source>
        <translation>Could not save %1: %2</translation>
    </message>
</context>
<context>
    <name>pulsavo::DueView</name>
    <message>
        <source>&lt;b&gt;今日の復習&lt;/b&gt;: ありません</source>
        <translation>&lt;b&gt;Review today&lt;/b&gt;: nothing due</translation>
    </message>
    <message>
        <source>&lt;b&gt;今日の復習 %1 問&lt;/b&gt;: %2</source>
        <translation>&lt;b&gt;Review today, %1 questions&lt;/b&gt;: %2</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>今後 %1 日の復習: %2</source>
        <translation>Due in the next %1 days: %2</translation>
    </message>
    <message>
        <source>&#x3000;</source>
        <translation>   </translation>
    </message>
    <message>
        <source>%1 %2 %</source>
        <translation>%1 %2 %</translation>
    </message>
    <message>
        <source>&lt;b&gt;準備度&lt;/b&gt;: %1 / %2 分野が %3 % 以上</source>
        <translation>&lt;b&gt;Readiness&lt;/b&gt;: %1 of %2 areas at %3 % or more</translation>
    </message>
    <message>
        <source>。%1 % 未満: &lt;span style=&apos;color:#b00000&apos;&gt;%2&lt;/span&gt;</source>
        <translation>. Below %1 %: &lt;span style=&apos;color:#b00000&apos;&gt;%2&lt;/span&gt;</translation>
    </message>
    <message>
        <source>。まだ解いていない分野: %1</source>
        <translation>. Not yet answered: %1</translation>
    </message>
</context>
<context>
    <name>pulsavo::FeedbackPage</name>
    <message>
        <source>ラダー図は答えを示すため、回答のあとに表示します。</source>
        <translation>The ladder diagram gives the answer away, so it shows after you answer.</translation>
    </message>
    <message>
        <source>見分けるポイント</source>
        <translation>Telling them apart</translation>
    </message>
    <message>
        <source>もう一度(&amp;R)</source>
        <translation>&amp;Play again</translation>
    </message>
    <message>
        <source>ラダー図(&amp;D)</source>
        <translation>La&amp;dder</translation>
    </message>
    <message>
        <source>心房・房室結節・心室の伝わり方を図で示します。答えがわかるため、回答のあとに表示します。</source>
        <translation>Shows how each beat travels through the atria, the AV node and the ventricles. It gives the answer away, so it shows after you answer.</translation>
    </message>
    <message>
        <source>記録紙を保存(&amp;W)...</source>
        <translation>Sa&amp;ve strip...</translation>
    </message>
    <message>
        <source>回答前に保存した記録紙には、波形名・強調表示・ラダー図は入りません。</source>
        <translation>A strip saved before you answer has no rhythm name, no highlighting and no ladder diagram.</translation>
    </message>
    <message>
        <source>結果を見る(&amp;N)</source>
        <translation>&amp;See results</translation>
    </message>
    <message>
        <source>次の問題(&amp;N)</source>
        <translation>&amp;Next question</translation>
    </message>
    <message>
        <source>波形名を選んで［回答］を押してください。</source>
        <translation>Choose a rhythm name and press Answer.</translation>
    </message>
    <message>
        <source>比べる(&amp;C)</source>
        <translation>&amp;Compare</translation>
    </message>
    <message>
        <source>○ 正解</source>
        <translation>✓ Correct</translation>
    </message>
    <message>
        <source>× 不正解</source>
        <translation>✗ Wrong</translation>
    </message>
    <message>
        <source>正解: %1</source>
        <translation>Correct answer: %1</translation>
    </message>
    <message>
        <source>あなたの回答: %1</source>
        <translation>Your answer: %1</translation>
    </message>
    <message>
        <source>「%1」を下に再生して比べる(&amp;C)</source>
        <translation>Play “%1” below to &amp;compare</translation>
    </message>
    <message>
        <source>「%1」を下に再生して比べる</source>
        <translation>Play “%1” below to compare</translation>
    </message>
    <message>
        <source>ガイド付き判読(&amp;G)</source>
        <translation>&amp;Guided read</translation>
    </message>
    <message>
        <source>止めた波形で、心拍数・規則性・P 波・PR・QRS・波形名の順に読みます。</source>
        <translation>Reads the frozen strip step by step: rate, regularity, P waves, PR, QRS, then the name.</translation>
    </message>
    <message>
        <source>波形名を入力して Enter を押してください。</source>
        <translation>Type the rhythm name and press Enter.</translation>
    </message>
    <message>
        <source>あなたの回答: %1（入力「%2」）</source>
        <translation>Your answer: %1 (you typed “%2”)</translation>
    </message>
    <message>
        <source>あなたの回答: %1（入力「%2」は、つづりの小さな違いとして正解にしました）</source>
        <translation>Your answer: %1 (you typed “%2”, a small misspelling, counted as right)</translation>
    </message>
    <message>
        <source>あなたの回答: %1（入力「%2」をこの名前のつづり違いとして読みました）</source>
        <translation>Your answer: %1 (“%2” was read as a misspelling of this name)</translation>
    </message>
    <message>
        <source>正解: %1（%2 が重なっています）</source>
        <translation>Correct: %1 (with %2 over it)</translation>
    </message>
    <message>
        <source>正解: %1（%2 と見分ける問題）</source>
        <translation>Correct: %1 (to be told from %2)</translation>
    </message>
    <message>
        <source>【アーチファクト】%1（強さ %2）</source>
        <translation>[Artifact] %1 (strength %2)</translation>
    </message>
    <message>
        <source>【見分け方】%1 との違い</source>
        <translation>[How to tell] how it differs from %1</translation>
    </message>
    <message>
        <source>%1 ms 未満</source>
        <translation>under %1 ms</translation>
    </message>
    <message>
        <source>%1 ms 超</source>
        <translation>over %1 ms</translation>
    </message>
    <message>
        <source>一定しない</source>
        <translation>varies</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>none</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>一定しない（%1 ms〜）</source>
        <translation>varies (from %1 ms)</translation>
    </message>
    <message>
        <source>%1 ms 以上</source>
        <translation>%1 ms or more</translation>
    </message>
    <message>
        <source>どちらも</source>
        <translation>either</translation>
    </message>
    <message>
        <source>見分ける決め手:</source>
        <translation>What decides:</translation>
    </message>
    <message>
        <source>見分け方の基本:</source>
        <translation>How to tell:</translation>
    </message>
    <message>
        <source>心拍数</source>
        <translation>Rate</translation>
    </message>
    <message>
        <source>この記録</source>
        <translation>This strip</translation>
    </message>
    <message>
        <source>%1/分</source>
        <translation>%1/min</translation>
    </message>
    <message>
        <source>%1 の範囲</source>
        <translation>%1 range</translation>
    </message>
    <message>
        <source>/分</source>
        <translation>/min</translation>
    </message>
    <message>
        <source>× 時間切れ（%1 秒かかりました）</source>
        <translation>× Too late (took %1 s)</translation>
    </message>
    <message>
        <source>名前は合っていますが、制限時間を過ぎたため不正解です。</source>
        <translation>The name is right, but it came after the time limit, so it counts as wrong.</translation>
    </message>
    <message>
        <source>制限時間を過ぎた回答です。</source>
        <translation>This answer came after the time limit.</translation>
    </message>
</context>
<context>
    <name>pulsavo::GradebookWindow</name>
    <message>
        <source>採点 - Pulsavo</source>
        <translation>Gradebook - Pulsavo</translation>
    </message>
    <message>
        <source>試験コード(&amp;E):</source>
        <translation>&amp;Exam code:</translation>
    </message>
    <message>
        <source>PX-…</source>
        <translation>PX-…</translation>
    </message>
    <message>
        <source>ファイルを追加(&amp;A)...</source>
        <translation>&amp;Add files...</translation>
    </message>
    <message>
        <source>解答データベースと提出ファイルを選びます。ウィンドウにドロップしても追加できます。</source>
        <translation>Choose answers databases and hand-in files. You can also drop them on the window.</translation>
    </message>
    <message>
        <source>クリア(&amp;L)</source>
        <translation>C&amp;lear</translation>
    </message>
    <message>
        <source>受験者</source>
        <translation>Learner</translation>
    </message>
    <message>
        <source>問題の分析</source>
        <translation>Item analysis</translation>
    </message>
    <message>
        <source>取り違え</source>
        <translation>Confusions</translation>
    </message>
    <message>
        <source>得点</source>
        <translation>Score</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>判定</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>時間</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>ヒント</source>
        <translation>Hinted</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>問</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>波形</source>
        <translation>Rhythm</translation>
    </message>
    <message>
        <source>正答率</source>
        <translation>Correct</translation>
    </message>
    <message>
        <source>識別力</source>
        <translation>Discr.</translation>
    </message>
    <message>
        <source>多い誤答(人数)</source>
        <translation>Commonest wrong answer (learners)</translation>
    </message>
    <message>
        <source>判定のポイント</source>
        <translation>Key point</translation>
    </message>
    <message>
        <source>回数</source>
        <translation>Times</translation>
    </message>
    <message>
        <source>出題</source>
        <translation>Shown</translation>
    </message>
    <message>
        <source>回答</source>
        <translation>Answered</translation>
    </message>
    <message>
        <source>回答した波形の判定のポイント</source>
        <translation>Key point of the rhythm answered</translation>
    </message>
    <message>
        <source>復習試験を作る(&amp;R)</source>
        <translation>Make a &amp;remediation exam</translation>
    </message>
    <message>
        <source>正答率の低い波形と、それと取り違えた波形で、同じ設定の試験を作ります。</source>
        <translation>Makes an exam with the same settings over the rhythms the class got wrong most and the rhythms they were taken for.</translation>
    </message>
    <message>
        <source>問題数(&amp;N):</source>
        <translation>&amp;Number of questions:</translation>
    </message>
    <message>
        <source>コピー(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>練習モードで開く(&amp;P)</source>
        <translation>Open in &amp;practice mode</translation>
    </message>
    <message>
        <source>CSV を保存(&amp;S)...</source>
        <translation>&amp;Save CSV...</translation>
    </message>
    <message>
        <source>PDF を保存(&amp;D)...</source>
        <translation>Save P&amp;DF...</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>採点するファイル</source>
        <translation>Files to grade</translation>
    </message>
    <message>
        <source>解答データベースと提出ファイル (*.sqlite *.csv);;すべてのファイル (*)</source>
        <translation>Answers databases and hand-in files (*.sqlite *.csv);;All files (*)</translation>
    </message>
    <message>
        <source>試験コードを入力してください。</source>
        <translation>Please enter an exam code.</translation>
    </message>
    <message>
        <source>試験コードが正しくありません。入力を確かめてください。</source>
        <translation>The exam code does not check out. Please check what you typed.</translation>
    </message>
    <message>
        <source>解答データベースや提出ファイルをこのウィンドウにドロップするか、「ファイルを追加」で選んでください。</source>
        <translation>Drop answers databases or hand-in files on this window, or choose them with Add files.</translation>
    </message>
    <message>
        <source>採点中… (ファイル %1 件)</source>
        <translation>Grading… (%1 files)</translation>
    </message>
    <message>
        <source>合格</source>
        <translation>pass</translation>
    </message>
    <message>
        <source>不合格</source>
        <translation>fail</translation>
    </message>
    <message>
        <source>受験者 %1 人、%2 問、平均 %3 %</source>
        <translation>%1 learners, %2 questions, mean %3 %</translation>
    </message>
    <message>
        <source>、合格点 %1 %、合格 %2 人</source>
        <translation>, pass mark %1 %, %2 passed</translation>
    </message>
    <message>
        <source>%1: ファイルがありません。数えていません。</source>
        <translation>%1: no such file; not counted.</translation>
    </message>
    <message>
        <source>%1: 開けません (%2)。数えていません。</source>
        <translation>%1: cannot be opened (%2); not counted.</translation>
    </message>
    <message>
        <source>%1: 解答データベースが壊れています。数えていません。</source>
        <translation>%1: a damaged answers database; not counted.</translation>
    </message>
    <message>
        <source>%1: 古い形式の解答データベースです。練習モードで一度開くと新しい形式になります。数えていません。</source>
        <translation>%1: an answers database of an older format; opening it once in the practice window brings it up to date. Not counted.</translation>
    </message>
    <message>
        <source>%1: 解答データベースではありません。数えていません。</source>
        <translation>%1: not an answers database; not counted.</translation>
    </message>
    <message>
        <source>%1: 解答データベースでも提出ファイルでもありません。数えていません。</source>
        <translation>%1: neither an answers database nor a hand-in file; not counted.</translation>
    </message>
    <message>
        <source>%1: 提出ファイルにしては大きすぎます。数えていません。</source>
        <translation>%1: far too large for a hand-in file; not counted.</translation>
    </message>
    <message>
        <source>%1: 提出ファイルが壊れています(途中で切れているか、Pulsavo が書いたものではありません)。数えていません。</source>
        <translation>%1: a damaged hand-in file (cut short or not written by Pulsavo); not counted.</translation>
    </message>
    <message>
        <source>%1: チェックサムが合いません。書き出した後に変更された提出ファイルです。数えていません。</source>
        <translation>%1: the checksum does not match: the hand-in was changed after it was written; not counted.</translation>
    </message>
    <message>
        <source>%1: 新しい版の Pulsavo で書かれています。数えていません。</source>
        <translation>%1: written by a newer Pulsavo; not counted.</translation>
    </message>
    <message>
        <source>%1: 別の試験 (%2) の解答です。数えていません。</source>
        <translation>%1: answers of another exam (%2); not counted.</translation>
    </message>
    <message>
        <source>%1: この試験の解答がありません。</source>
        <translation>%1: holds no answers of this exam.</translation>
    </message>
    <message>
        <source>%1: 受験者「%2」は %3 ですでに採点しました。一度だけ数えます。</source>
        <translation>%1: learner “%2” was already graded from %3; counted once, from there.</translation>
    </message>
    <message>
        <source>%1: 受験者「%2」は同じ問題に二度以上答えています。最初の回答を数えます。</source>
        <translation>%1: learner “%2” answered some questions more than once; the first answer counts.</translation>
    </message>
    <message>
        <source>%1: %2 件の解答がこの試験のどの問題にも合いません。数えていません。</source>
        <translation>%1: %2 answers match none of the exam&apos;s questions; not counted.</translation>
    </message>
    <message>
        <source>採点できる解答がありませんでした。</source>
        <translation>There was nothing to grade.</translation>
    </message>
    <message>
        <source>%1: すでに一覧にあります。一度だけ数えます。</source>
        <translation>%1: already listed; counted once.</translation>
    </message>
    <message>
        <source>%1 に保存できませんでした。</source>
        <translation>Could not save %1.</translation>
    </message>
    <message>
        <source>%1 に保存しました。</source>
        <translation>Saved %1.</translation>
    </message>
    <message>
        <source>PDF を保存</source>
        <translation>Save PDF</translation>
    </message>
    <message>
        <source>CSV を保存</source>
        <translation>Save CSV</translation>
    </message>
    <message>
        <source>PDF ファイル (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>CSV ファイル (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>全員が全問に正解しました。復習試験は要りません。</source>
        <translation>Everyone answered every question right: no remediation exam is needed.</translation>
    </message>
    <message>
        <source>苦手な波形: %1</source>
        <translation>Weakest rhythms: %1</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>。対比: %1</source>
        <translation>. In contrast: %1</translation>
    </message>
    <message>
        <source>受験者</source>
        <comment>the tab listing every learner</comment>
        <translation>Learners</translation>
    </message>
</context>
<context>
    <name>pulsavo::GuidedRead</name>
    <message>
        <source>QRS %1 個 × 10 = %2/分</source>
        <translation>QRS %1 × 10 = %2/min</translation>
    </message>
    <message>
        <source>○ そのとおりです。</source>
        <translation>✓ Right.</translation>
    </message>
    <message>
        <source>× 違います。</source>
        <translation>✗ Not quite.</translation>
    </message>
    <message>
        <source> 個</source>
        <translation> QRS</translation>
    </message>
    <message>
        <source> /分</source>
        <translation> /min</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>規則的</source>
        <translation>Regular</translation>
    </message>
    <message>
        <source>規則的に不規則</source>
        <translation>Regularly irregular</translation>
    </message>
    <message>
        <source>不規則に不規則</source>
        <translation>Irregularly irregular</translation>
    </message>
    <message>
        <source>正常（QRS ごとに1つ）</source>
        <translation>Normal (one before each QRS)</translation>
    </message>
    <message>
        <source>異常（陰性・逆行性・形が変わる）</source>
        <translation>Abnormal (inverted, retrograde or changing)</translation>
    </message>
    <message>
        <source>QRS より多い</source>
        <translation>More P waves than QRS</translation>
    </message>
    <message>
        <source>粗動波</source>
        <translation>Flutter waves</translation>
    </message>
    <message>
        <source>細動波</source>
        <translation>Fibrillatory waves</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>ms で答える</source>
        <translation>In ms</translation>
    </message>
    <message>
        <source>一定しない</source>
        <translation>Varies</translation>
    </message>
    <message>
        <source>心拍数</source>
        <translation>Rate</translation>
    </message>
    <message>
        <source>規則性</source>
        <translation>Regularity</translation>
    </message>
    <message>
        <source>P 波</source>
        <translation>P waves</translation>
    </message>
    <message>
        <source>PR 間隔</source>
        <translation>PR interval</translation>
    </message>
    <message>
        <source>QRS 幅</source>
        <translation>QRS width</translation>
    </message>
    <message>
        <source>波形名</source>
        <translation>Rhythm name</translation>
    </message>
    <message>
        <source>6 秒間に QRS が %1 個: 心拍数はおよそ %2/分です。</source>
        <translation>%1 QRS complexes in 6 seconds: a rate of about %2/min.</translation>
    </message>
    <message>
        <source>心室レートは %1/分です（RR のキャリパー）。</source>
        <translation>The ventricular rate is %1/min (the RR calipers).</translation>
    </message>
    <message>
        <source>この記録では心拍数を測れません。</source>
        <translation>This strip has no rate to measure.</translation>
    </message>
    <message>
        <source>RR 間隔を見比べてください: %1。</source>
        <translation>Compare the RR intervals: %1.</translation>
    </message>
    <message>
        <source>PP 間隔と P 波の数を見てください: %1。</source>
        <translation>Look at the PP intervals and the number of P waves: %1.</translation>
    </message>
    <message>
        <source>PR は %1〜%2 ms で一定しません。伸びていく PR と、QRS の続かない P 波を探してください。</source>
        <translation>The PR varies from %1 to %2 ms. Look for the PR lengthening and a P wave with no QRS after it.</translation>
    </message>
    <message>
        <source>PR は %1 ms です。</source>
        <translation>The PR is %1 ms.</translation>
    </message>
    <message>
        <source>測れる PR はありません。</source>
        <translation>There is no PR to measure.</translation>
    </message>
    <message>
        <source>QRS 幅は %1 ms です。</source>
        <translation>The QRS is %1 ms wide.</translation>
    </message>
    <message>
        <source>QRS がありません。</source>
        <translation>There is no QRS.</translation>
    </message>
    <message>
        <source>ガイド付き判読</source>
        <translation>Guided read</translation>
    </message>
    <message>
        <source>6秒法で心拍数を数える(&amp;6)</source>
        <translation>Count the rate by the &amp;6-second method</translation>
    </message>
    <message>
        <source>6 秒の目印の間の QRS を数え、10 倍して心拍数にします。</source>
        <translation>Count the QRS complexes between the six-second marks and multiply by ten.</translation>
    </message>
    <message>
        <source>確かめる(&amp;O)</source>
        <translation>Check s&amp;tep</translation>
    </message>
    <message>
        <source>判読を閉じる</source>
        <translation>Close the read</translation>
    </message>
    <message>
        <source>手順 %1 / %2: %3</source>
        <translation>Step %1 of %2: %3</translation>
    </message>
    <message>
        <source>終わる(&amp;J)</source>
        <translation>F&amp;inish</translation>
    </message>
    <message>
        <source>次へ(&amp;J)</source>
        <translation>Ne&amp;xt step</translation>
    </message>
    <message>
        <source>黄色の 0 s と 6 s の目印の間にある QRS を数えてください（10 倍が心拍数）。</source>
        <translation>Count the QRS complexes between the yellow 0 s and 6 s marks (ten times that is the rate).</translation>
    </message>
    <message>
        <source>心室の心拍数（毎分）は？ RR 間隔から求めてください（大きいマス 300 ÷ マス数）。</source>
        <translation>What is the ventricular rate (per minute)? Work it out from the RR intervals (300 ÷ large squares).</translation>
    </message>
    <message>
        <source>RR 間隔は規則的ですか？</source>
        <translation>Are the RR intervals regular?</translation>
    </message>
    <message>
        <source>P 波はどうですか？ QRS ごとに1つずつありますか？</source>
        <translation>What about the P waves? Is there one before each QRS?</translation>
    </message>
    <message>
        <source>PR 間隔は？ P 波の始まりから QRS の始まりまで。拍ごとに変わるなら「一定しない」。</source>
        <translation>What is the PR interval? From the start of the P wave to the start of the QRS. If it changes from beat to beat, “Varies”.</translation>
    </message>
    <message>
        <source>QRS 幅は？（120 ms 未満なら幅の狭い QRS）</source>
        <translation>How wide is the QRS? (Under 120 ms is narrow.)</translation>
    </message>
    <message>
        <source>ここまでの所見から: この波形は「%1」です。</source>
        <translation>From what you found: this rhythm is “%1”.</translation>
    </message>
</context>
<context>
    <name>pulsavo::InstructorConsole</name>
    <message>
        <source>画面 %1: %2 (%3×%4)</source>
        <translation>Screen %1: %2 (%3×%4)</translation>
    </message>
    <message>
        <source>投影を開く(&amp;O)</source>
        <translation>&amp;Open projector</translation>
    </message>
    <message>
        <source>投影を閉じる(&amp;O)</source>
        <translation>Cl&amp;ose projector</translation>
    </message>
    <message>
        <source>インストラクター</source>
        <translation>Instructor</translation>
    </message>
    <message>
        <source>波形(&amp;W)</source>
        <translation>&amp;Rhythm</translation>
    </message>
    <message>
        <source>HR /分</source>
        <translation>HR /min</translation>
    </message>
    <message>
        <source>投影</source>
        <translation>Projector</translation>
    </message>
    <message>
        <source>画面(&amp;N)</source>
        <translation>Scree&amp;n</translation>
    </message>
    <message>
        <source>配色(&amp;T)</source>
        <translation>&amp;Theme</translation>
    </message>
    <message>
        <source>暗い背景</source>
        <translation>Dark background</translation>
    </message>
    <message>
        <source>明るい背景(高コントラスト)</source>
        <translation>Light background (high contrast)</translation>
    </message>
    <message>
        <source>全画面(&amp;U)</source>
        <translation>F&amp;ull screen</translation>
    </message>
    <message>
        <source>再開 (F)</source>
        <translation>Resume (F)</translation>
    </message>
    <message>
        <source>全員の画面を一時停止 (F)</source>
        <translation>Freeze for everyone (F)</translation>
    </message>
    <message>
        <source>PVC (V)</source>
        <translation>PVC (V)</translation>
    </message>
    <message>
        <source>1 拍ブロック (B)</source>
        <translation>Block a beat (B)</translation>
    </message>
    <message>
        <source>除細動 (D)</source>
        <translation>Defibrillate (D)</translation>
    </message>
    <message>
        <source>ペーシング停止 (P)</source>
        <translation>Stop pacing (P)</translation>
    </message>
    <message>
        <source>ペーシング開始 (P)</source>
        <translation>Start pacing (P)</translation>
    </message>
    <message>
        <source>移り方(&amp;K)</source>
        <translation>Transition (&amp;K)</translation>
    </message>
    <message>
        <source>すぐに切り替える</source>
        <translation>Switch at once</translation>
    </message>
    <message>
        <source>次の拍から</source>
        <translation>From the next beat</translation>
    </message>
    <message>
        <source>移行時間をかけて</source>
        <translation>Over the ramp time</translation>
    </message>
    <message>
        <source>R on T の PVC から</source>
        <translation>From an R-on-T PVC</translation>
    </message>
    <message>
        <source>PAC から</source>
        <translation>From a PAC</translation>
    </message>
    <message>
        <source>休止のあと補充収縮から</source>
        <translation>A pause, then an escape beat</translation>
    </message>
    <message>
        <source>この波形へ(&amp;C)</source>
        <translation>&amp;Change to this rhythm</translation>
    </message>
    <message>
        <source>ショック後(&amp;A)</source>
        <translation>&amp;After the shock</translation>
    </message>
    <message>
        <source>変わらない(無効なショック)</source>
        <translation>No change (shock fails)</translation>
    </message>
    <message>
        <source>パラメーター</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>シナリオ</source>
        <translation>Scenario</translation>
    </message>
    <message>
        <source>記録</source>
        <translation>Log</translation>
    </message>
    <message>
        <source>この波形では起こりません</source>
        <translation>not possible in this rhythm</translation>
    </message>
    <message>
        <source>再生中: %1</source>
        <translation>Playing: %1</translation>
    </message>
    <message>
        <source>移行中: %1 %</source>
        <translation>Changing: %1 %</translation>
    </message>
    <message>
        <source>正解</source>
        <translation>right</translation>
    </message>
    <message>
        <source>不正解</source>
        <translation>wrong</translation>
    </message>
    <message>
        <source>教室</source>
        <translation>Class</translation>
    </message>
    <message>
        <source>授業開始</source>
        <translation>Class started</translation>
    </message>
    <message>
        <source>授業終了</source>
        <translation>Class ended</translation>
    </message>
</context>
<context>
    <name>pulsavo::JoinClassDialog</name>
    <message>
        <source>教室に参加</source>
        <translation>Join a class</translation>
    </message>
    <message>
        <source>空欄: 同じネットワークで探します</source>
        <translation>Empty: found on the same network</translation>
    </message>
    <message>
        <source>参加コード(&amp;C)</source>
        <translation>Join &amp;code</translation>
    </message>
    <message>
        <source>アドレス(&amp;A)</source>
        <translation>&amp;Address</translation>
    </message>
    <message>
        <source>名前(&amp;N)</source>
        <translation>&amp;Name</translation>
    </message>
    <message>
        <source>参加(&amp;J)</source>
        <translation>&amp;Join</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>参加コードは 6 文字の英数字です</source>
        <translation>A join code is 6 letters and digits</translation>
    </message>
    <message>
        <source>名前を 1〜%1 文字で入れてください</source>
        <translation>Type a name of 1 to %1 characters</translation>
    </message>
</context>
<context>
    <name>pulsavo::LearnerPrompt</name>
    <message>
        <source>受験者</source>
        <translation>Learner</translation>
    </message>
    <message>
        <source>氏名または学籍番号(&amp;N):</source>
        <translation>&amp;Name or student ID:</translation>
    </message>
    <message>
        <source>氏名または学籍番号</source>
        <translation>Name or student ID</translation>
    </message>
    <message>
        <source>回答はこの名前で記録され、講師の成績表に載ります。</source>
        <translation>Your answers are saved under this name and appear in the instructor&apos;s gradebook.</translation>
    </message>
    <message>
        <source>試験を始める</source>
        <translation>Start the exam</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>pulsavo::LearnerWindow</name>
    <message>
        <source>学習者</source>
        <translation>Learner</translation>
    </message>
    <message>
        <source>教室に参加していません</source>
        <translation>Not in a class</translation>
    </message>
    <message>
        <source>参加できません: %1</source>
        <translation>Cannot join: %1</translation>
    </message>
    <message>
        <source>教室 %1 に接続しています…</source>
        <translation>Connecting to class %1…</translation>
    </message>
    <message>
        <source>先生の承認を待っています…</source>
        <translation>Waiting for the instructor to admit you…</translation>
    </message>
    <message>
        <source>教室 %1 に %2 として参加しています</source>
        <translation>In class %1 as %2</translation>
    </message>
    <message>
        <source>ネットワークが切れました。最後の波形を再生し続け、再接続を試みています…</source>
        <translation>The network is down. The last rhythm plays on while joining again…</translation>
    </message>
    <message>
        <source>参加コードが違います</source>
        <translation>Wrong join code</translation>
    </message>
    <message>
        <source>教室が満員です</source>
        <translation>The class is full</translation>
    </message>
    <message>
        <source>先生が参加を認めませんでした</source>
        <translation>The instructor turned you away</translation>
    </message>
    <message>
        <source>先生の Pulsavo と版が合いません</source>
        <translation>The instructor&apos;s Pulsavo is a different version</translation>
    </message>
    <message>
        <source>教室が終わったか、接続が断られました</source>
        <translation>The class has ended or the connection was refused</translation>
    </message>
    <message>
        <source>このモニターを一時停止中（F で再開。授業は続いています）</source>
        <translation>This monitor is frozen (F resumes; the class goes on)</translation>
    </message>
    <message>
        <source>締め切られました。あなたの回答: %1</source>
        <translation>Closed. Your answer: %1</translation>
    </message>
    <message>
        <source>締め切られました</source>
        <translation>Closed</translation>
    </message>
    <message>
        <source>回答しました: %1（締め切りまで変えられます）</source>
        <translation>Answered: %1 (you can change it until it closes)</translation>
    </message>
    <message>
        <source>モニターを見て答えてください</source>
        <translation>Read the monitor and answer</translation>
    </message>
    <message>
        <source>Pulsavo — 教室</source>
        <translation>Pulsavo — Class</translation>
    </message>
    <message>
        <source>先生がモニターを一時停止しています</source>
        <translation>The instructor has frozen the monitor</translation>
    </message>
    <message>
        <source>同じネットワークに参加コード %1 の教室が見つかりません。先生の画面のアドレスを入れてください</source>
        <translation>No class with the code %1 on this network. Type the address the instructor&apos;s screen shows</translation>
    </message>
    <message>
        <source>教室 %1 を探しています…</source>
        <translation>Looking for class %1…</translation>
    </message>
    <message>
        <source>ラダー図(&amp;D)</source>
        <translation>La&amp;dder</translation>
    </message>
</context>
<context>
    <name>pulsavo::MeasurementBox</name>
    <message>
        <source>計測課題</source>
        <translation>Measurement</translation>
    </message>
    <message>
        <source>計測を答える(&amp;U)</source>
        <translation>S&amp;ubmit measurement</translation>
    </message>
    <message>
        <source>%1 を測ってください: 一時停止 (F) して、波形の上を端から端までドラッグし、［計測を答える］を押します。</source>
        <translation>Measure the %1: freeze the monitor (F), drag across the trace from one end of the interval to the other, then press [Submit measurement].</translation>
    </message>
    <message>
        <source>先に一時停止 (F) してください。</source>
        <translation>Freeze the monitor first (F).</translation>
    </message>
    <message>
        <source>%1 のキャリパーがありません。波形の上をドラッグして置いてください。</source>
        <translation>There is no %1 caliper yet. Drag across the trace to set one.</translation>
    </message>
    <message>
        <source>あなたの計測 %1 ms。%2</source>
        <translation>You measured %1 ms. %2</translation>
    </message>
</context>
<context>
    <name>pulsavo::MonitorActions</name>
    <message>
        <source>再開(&amp;F)</source>
        <translation>R&amp;esume</translation>
    </message>
    <message>
        <source>一時停止(&amp;F)</source>
        <translation>&amp;Freeze</translation>
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
</context>
<context>
    <name>pulsavo::ParameterPanel</name>
    <message>
        <source>/分</source>
        <translation>/min</translation>
    </message>
    <message>
        <source>拍</source>
        <translation>beats</translation>
    </message>
    <message>
        <source>心房レート</source>
        <translation>Atrial rate</translation>
    </message>
    <message>
        <source>心室レート</source>
        <translation>Ventricular rate</translation>
    </message>
    <message>
        <source>PR 間隔</source>
        <translation>PR interval</translation>
    </message>
    <message>
        <source>QRS 幅</source>
        <translation>QRS width</translation>
    </message>
    <message>
        <source>伝導比</source>
        <translation>Conduction ratio</translation>
    </message>
    <message>
        <source>期外収縮</source>
        <translation>Ectopic beats</translation>
    </message>
    <message>
        <source>期外収縮の間隔</source>
        <translation>Ectopic beat every</translation>
    </message>
    <message>
        <source>期外収縮の型</source>
        <translation>Ectopy pattern</translation>
    </message>
    <message>
        <source>ペーシング</source>
        <translation>Pacing</translation>
    </message>
    <message>
        <source>ペーシングレート</source>
        <translation>Pacing rate</translation>
    </message>
    <message>
        <source>ペーシング出力</source>
        <translation>Pacing output</translation>
    </message>
    <message>
        <source>捕捉閾値</source>
        <translation>Capture threshold</translation>
    </message>
    <message>
        <source>VF 振幅</source>
        <translation>VF amplitude</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>PAC</source>
        <translation>PAC</translation>
    </message>
    <message>
        <source>PJC</source>
        <translation>PJC</translation>
    </message>
    <message>
        <source>PVC</source>
        <translation>PVC</translation>
    </message>
    <message>
        <source>散発</source>
        <translation>Random</translation>
    </message>
    <message>
        <source>二段脈</source>
        <translation>Bigeminy</translation>
    </message>
    <message>
        <source>三段脈</source>
        <translation>Trigeminy</translation>
    </message>
    <message>
        <source>2 連発</source>
        <translation>Couplets</translation>
    </message>
    <message>
        <source>ショートラン</source>
        <translation>Runs</translation>
    </message>
    <message>
        <source>オフ</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>心房 (AAI)</source>
        <translation>Atrial (AAI)</translation>
    </message>
    <message>
        <source>心室 (VVI)</source>
        <translation>Ventricular (VVI)</translation>
    </message>
    <message>
        <source>両腔 (DDD)</source>
        <translation>Dual chamber (DDD)</translation>
    </message>
    <message>
        <source>保留中の変更</source>
        <translation>Pending changes</translation>
    </message>
    <message>
        <source>移行時間(&amp;M)</source>
        <translation>Ra&amp;mp time</translation>
    </message>
    <message>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source>すぐに</source>
        <translation>at once</translation>
    </message>
    <message>
        <source>取り消す</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>%1: %2 → %3</source>
        <translation>%1: %2 → %3</translation>
    </message>
    <message>
        <source>%1 秒かけて適用(&amp;A)</source>
        <translation>&amp;Apply over %1 s</translation>
    </message>
    <message>
        <source>すぐに適用(&amp;A)</source>
        <translation>&amp;Apply now</translation>
    </message>
</context>
<context>
    <name>pulsavo::PracticeMonitors</name>
    <message>
        <source>モニター</source>
        <translation>Monitor</translation>
    </message>
    <message>
        <source>モニター: 問題 %1</source>
        <translation>Monitor: question %1</translation>
    </message>
    <message>
        <source>比較用モニター: %1</source>
        <translation>Comparison monitor: %1</translation>
    </message>
    <message>
        <source>あなたの回答「%1」を同じシードで再生中</source>
        <translation>Playing your answer, “%1”, with the same seed</translation>
    </message>
    <message>
        <source>キャリパー</source>
        <translation>Calipers</translation>
    </message>
    <message>
        <source>ドラッグで2本の縦線を置き、間隔をミリ秒と毎分の回数で示します。</source>
        <translation>Drag to place two vertical lines; shows the interval in ms and as a rate per minute.</translation>
    </message>
</context>
<context>
    <name>pulsavo::PracticeTopBar</name>
    <message>
        <source>オプションを選んで［開始］を押してください。</source>
        <translation>Choose the options and press Start.</translation>
    </message>
    <message>
        <source>試験 %1&#x3000;問 %2 / %3（ヒント使用）</source>
        <translation>Exam %1   Question %2 of %3 (hint used)</translation>
    </message>
    <message>
        <source>試験 %1&#x3000;問 %2 / %3</source>
        <translation>Exam %1   Question %2 of %3</translation>
    </message>
    <message>
        <source>問題 %1 / %2（ヒント使用）</source>
        <translation>Question %1 of %2 (hint used)</translation>
    </message>
    <message>
        <source>問題 %1 / %2</source>
        <translation>Question %1 of %2</translation>
    </message>
    <message>
        <source>ラウンド終了</source>
        <translation>Round complete</translation>
    </message>
    <message>
        <source>再開(&amp;F)</source>
        <translation>R&amp;esume</translation>
    </message>
    <message>
        <source>一時停止(&amp;F)</source>
        <translation>&amp;Freeze</translation>
    </message>
    <message>
        <source>残り %1:%2</source>
        <translation>Time left %1:%2</translation>
    </message>
    <message>
        <source>成績(&amp;T)...</source>
        <translation>Pr&amp;ogress...</translation>
    </message>
    <message>
        <source>モニターを止めてキャリパーで測ります（Pause または F キー）。</source>
        <translation>Freezes the monitor to measure it with calipers (Pause or F).</translation>
    </message>
    <message>
        <source>答え合わせ(&amp;K)</source>
        <translation>Chec&amp;k</translation>
    </message>
    <message>
        <source>止めた波形に本当の波の位置を示し、キャリパーを採点します。回答前はヒント扱いです。</source>
        <translation>Marks the true waves on the frozen trace and scores the calipers; before you answer it counts as a hint.</translation>
    </message>
    <message>
        <source>正答率と取り違えの多い組み合わせを表示します。</source>
        <translation>Shows your accuracy and the rhythms you mix up most.</translation>
    </message>
    <message>
        <source>Language / 言語</source>
        <translation>Language / 言語</translation>
    </message>
    <message>
        <source>画面の言語を選びます。</source>
        <translation>Chooses the language of the windows.</translation>
    </message>
    <message>
        <source>強調表示</source>
        <translation>Highlight</translation>
    </message>
    <message>
        <source>注目する部分の示し方を選びます（色覚に配慮した配色もあります）。</source>
        <translation>Choose how the parts to notice are marked (a colour-blind-safe style is among them).</translation>
    </message>
    <message>
        <source>採点(&amp;G)...</source>
        <translation>&amp;Gradebook...</translation>
    </message>
    <message>
        <source>クラスの解答データベースや提出ファイルから試験を採点します。</source>
        <translation>Grades an exam from the class&apos;s answers databases and hand-in files.</translation>
    </message>
    <message>
        <source>回答まで残り %1 秒</source>
        <translation>%1 s left to answer</translation>
    </message>
    <message>
        <source>時間切れ: 今の回答は不正解になります</source>
        <translation>Time is up: an answer now counts as wrong</translation>
    </message>
    <message>
        <source>教室に参加(&amp;J)...</source>
        <translation>&amp;Join a class...</translation>
    </message>
    <message>
        <source>先生のモニターに参加コードでつなぎ、同じ波形を見て質問に答えます。</source>
        <translation>Join the instructor&apos;s monitor with the join code, watch the same trace and answer the questions.</translation>
    </message>
</context>
<context>
    <name>pulsavo::PracticeWindow</name>
    <message>
        <source>提出ファイルを保存</source>
        <translation>Save hand-in file</translation>
    </message>
    <message>
        <source>提出ファイル (*.csv)</source>
        <translation>Hand-in files (*.csv)</translation>
    </message>
    <message>
        <source>練習モード - Pulsavo</source>
        <translation>Practice mode - Pulsavo</translation>
    </message>
    <message>
        <source>%1 件の回答をまだ成績ファイルに保存できていません(ファイルが使用中か、書き込めません)。閉じるとその回答は失われます。閉じますか？</source>
        <translation>%1 answers could not be saved to the progress file yet (it is in use or cannot be written). Closing loses them. Close anyway?</translation>
    </message>
    <message>
        <source>ラウンドの途中です。終了しますか？ここまでの回答は保存されています。</source>
        <translation>A round is in progress. End it? The answers given so far are saved.</translation>
    </message>
    <message>
        <source>「%1」に当たる波形名がこのラウンドの候補にありません。</source>
        <translation>“%1” names no rhythm of this round.</translation>
    </message>
    <message>
        <source>「%1」はどれですか: %2</source>
        <translation>Which one do you mean by “%1”: %2</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>この項目は波形の形から読み取ります。</source>
        <translation>This field is read from the shape of the waves.</translation>
    </message>
    <message>
        <source>止めた波形に、この項目を測る %1 のキャリパーと本当の波の位置を示しました。</source>
        <translation>The frozen strip shows the %1 caliper that measures this field and where the true waves are.</translation>
    </message>
    <message>
        <source>この波形には %1 として測れる間隔がありません。</source>
        <translation>This strip has no interval to measure as %1.</translation>
    </message>
</context>
<context>
    <name>pulsavo::ProgressWindow</name>
    <message>
        <source>成績</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>書き出し(&amp;E)...</source>
        <translation>&amp;Export...</translation>
    </message>
    <message>
        <source>リセット(&amp;R)...</source>
        <translation>&amp;Reset...</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>波形ごとの正答率</source>
        <translation>% correct by rhythm</translation>
    </message>
    <message>
        <source>日ごとの正答率（最近 %1 日）</source>
        <translation>% correct by day (last %1 days)</translation>
    </message>
    <message>
        <source>回答 %1 問、正答率 %2 %</source>
        <translation>Answered: %1, correct: %2%</translation>
    </message>
    <message>
        <source>まだ回答がありません。練習モードで問題に答えると、ここに成績が表示されます。</source>
        <translation>No answers yet. Answer questions in practice mode and your progress will show here.</translation>
    </message>
    <message>
        <source>連続 %1 日</source>
        <translation>Days in a row: %1</translation>
    </message>
    <message>
        <source>取り違えの多い組み合わせ</source>
        <translation>Most frequent mix-ups</translation>
    </message>
    <message>
        <source>取り違えはまだありません。</source>
        <translation>No mix-ups yet.</translation>
    </message>
    <message>
        <source>%1 を %2 と答えた: %3 回</source>
        <translation>%1 answered as %2: %3×</translation>
    </message>
    <message>
        <source>見分けるポイント:</source>
        <translation>Telling them apart:</translation>
    </message>
    <message>
        <source>成績の書き出し</source>
        <translation>Export progress</translation>
    </message>
    <message>
        <source>CSV ファイル (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>%1 に書き出せませんでした。</source>
        <translation>Could not export to %1.</translation>
    </message>
    <message>
        <source>成績のリセット</source>
        <translation>Reset progress</translation>
    </message>
    <message>
        <source>成績をリセットしますか？
今までの成績ファイルは消さずに別の名前で残します。</source>
        <translation>Reset your progress?
The current results file is not deleted but kept under another name.</translation>
    </message>
    <message>
        <source>今までの成績を %1 に移しました。</source>
        <translation>Your results so far were moved to %1.</translation>
    </message>
    <message>
        <source>取り違え（行: 表示された波形、列: 答えた波形。○ 正答、× 取り違え）</source>
        <translation>Mix-ups (rows: rhythm shown, columns: rhythm answered; ○ right, × mixed up)</translation>
    </message>
    <message>
        <source>読み込み中…</source>
        <translation>Loading…</translation>
    </message>
    <message>
        <source>成績ファイル %1 は壊れているため読めません。練習モードを開くと、壊れたファイルを別の名前で残して新しく記録を始めます。</source>
        <translation>The answers file %1 is damaged and cannot be read. Opening practice mode keeps it under another name and starts a new one.</translation>
    </message>
    <message>
        <source>成績ファイル %1 は新しい版の Pulsavo で作られているため読めません。</source>
        <translation>The answers file %1 was made by a newer Pulsavo and cannot be read.</translation>
    </message>
    <message>
        <source>成績ファイル %1 を読めません。</source>
        <translation>The answers file %1 cannot be read.</translation>
    </message>
    <message>
        <source>（%1回・%2秒）%3 %</source>
        <translation> (%1×, %2 s) %3 %</translation>
    </message>
    <message>
        <source>回答 %1 件と計測 %2 件を %3 に書き出しました。</source>
        <translation>Exported %1 answers and %2 measurements to %3.</translation>
    </message>
    <message>
        <source>%1 %（%2 / %3）</source>
        <translation>%1 % (%2 / %3)</translation>
    </message>
    <message>
        <source>ワークシートの項目別正答率</source>
        <translation>Worksheet accuracy by field</translation>
    </message>
    <message>
        <source>%1 秒（%2 回）</source>
        <translation>%1 s (%2 answers)</translation>
    </message>
    <message>
        <source>6秒モード: 正解までの時間（中央値）</source>
        <translation>Six-second mode: median time to a right answer</translation>
    </message>
    <message>
        <source>見分ける決め手:</source>
        <translation>What decides:</translation>
    </message>
</context>
<context>
    <name>pulsavo::ProjectorWindow</name>
    <message>
        <source>投影モニター</source>
        <translation>Projector monitor</translation>
    </message>
    <message>
        <source>ECG II</source>
        <translation>ECG II</translation>
    </message>
    <message>
        <source>Pleth</source>
        <translation>Pleth</translation>
    </message>
    <message>
        <source>HR /分</source>
        <translation>HR /min</translation>
    </message>
    <message>
        <source>SpO2 %</source>
        <translation>SpO2 %</translation>
    </message>
    <message>
        <source>一時停止中</source>
        <translation>Frozen</translation>
    </message>
    <message>
        <source>この波形は？
回答 %1 / %2 人</source>
        <translation>What is this rhythm?
%1 / %2 answered</translation>
    </message>
    <message>
        <source>参加コード %1</source>
        <translation>Join code %1</translation>
    </message>
</context>
<context>
    <name>pulsavo::QuestionPage</name>
    <message>
        <source>波形名(&amp;L):</source>
        <translation>&amp;Rhythm name:</translation>
    </message>
    <message>
        <source>ヒント(&amp;H)</source>
        <translation>&amp;Hint</translation>
    </message>
    <message>
        <source>モニターに注目する部分を赤で示します。この問題はヒント使用になります。</source>
        <translation>Marks the parts to notice on the monitor. This question then counts as hinted.</translation>
    </message>
    <message>
        <source>回答(&amp;A)</source>
        <translation>&amp;Answer</translation>
    </message>
</context>
<context>
    <name>pulsavo::RecallBox</name>
    <message>
        <source>波形名を入力(&amp;L):</source>
        <translation>Type the &amp;rhythm name:</translation>
    </message>
    <message>
        <source>例: しんぼうさいどう、shinbousaidou、AF、Wenckebach</source>
        <translation>e.g. atrial fibrillation, AFib, しんぼうさいどう, Wenckebach</translation>
    </message>
    <message>
        <source>波形名</source>
        <translation>Rhythm name</translation>
    </message>
    <message>
        <source>日本語（漢字・かな・ローマ字）、英語、略語で入力し、Enter で回答します。</source>
        <translation>Type the name in English, an abbreviation, or Japanese (kanji, kana or romaji), and press Enter to answer.</translation>
    </message>
</context>
<context>
    <name>pulsavo::ScenarioPanel</name>
    <message>
        <source>開く(&amp;E)...</source>
        <translation>Op&amp;en...</translation>
    </message>
    <message>
        <source>保存(&amp;V)...</source>
        <translation>Sa&amp;ve...</translation>
    </message>
    <message>
        <source>最初から再生(&amp;G)</source>
        <translation>Play from the start (&amp;G)</translation>
    </message>
    <message>
        <source>次のステップ (N)</source>
        <translation>Next step (N)</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>追加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>上へ</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>下へ</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>題</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>題(英語)</source>
        <translation>Title (English)</translation>
    </message>
    <message>
        <source>波形</source>
        <translation>Rhythm</translation>
    </message>
    <message>
        <source>パラメーター</source>
        <translation>Parameters</translation>
    </message>
    <message>
        <source>移り方</source>
        <translation>Transition</translation>
    </message>
    <message>
        <source>移行時間</source>
        <translation>Ramp time</translation>
    </message>
    <message>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source>進め方</source>
        <translation>Advance</translation>
    </message>
    <message>
        <source>自動(時間で)</source>
        <translation>Automatic (after its time)</translation>
    </message>
    <message>
        <source>手動(次へで)</source>
        <translation>Manual (on Next)</translation>
    </message>
    <message>
        <source>時間</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>指定なし</source>
        <translation>not set</translation>
    </message>
    <message>
        <source>メモ</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>期待する行動</source>
        <translation>Expected action</translation>
    </message>
    <message>
        <source>シナリオを開く</source>
        <translation>Open scenario</translation>
    </message>
    <message>
        <source>シナリオ (*.json);;すべてのファイル (*)</source>
        <translation>Scenarios (*.json);;All files (*)</translation>
    </message>
    <message>
        <source>シナリオを保存</source>
        <translation>Save scenario</translation>
    </message>
    <message>
        <source>シナリオ (*.json)</source>
        <translation>Scenarios (*.json)</translation>
    </message>
    <message>
        <source>%1 を開けません: %2</source>
        <translation>Cannot open %1: %2</translation>
    </message>
    <message>
        <source>保存できませんでした: %1</source>
        <translation>Could not save: %1</translation>
    </message>
    <message>
        <source>再生できません: %1</source>
        <translation>Cannot play: %1</translation>
    </message>
    <message>
        <source>開始を待っています</source>
        <translation>Waiting to start</translation>
    </message>
    <message>
        <source>再生していません</source>
        <translation>Not playing</translation>
    </message>
    <message>
        <source>&lt;b&gt;ステップ %1 / %2&lt;/b&gt;: %3</source>
        <translation>&lt;b&gt;Step %1 of %2&lt;/b&gt;: %3</translation>
    </message>
    <message>
        <source>メモ: %1</source>
        <translation>Notes: %1</translation>
    </message>
    <message>
        <source>期待する行動: %1</source>
        <translation>Expected action: %1</translation>
    </message>
    <message>
        <source>シナリオなし: 開くか、ステップを追加します</source>
        <translation>No scenario: open one, or add steps</translation>
    </message>
    <message>
        <source>%1. %2 — %3</source>
        <translation>%1. %2 — %3</translation>
    </message>
    <message>
        <source>ステップ %1: パラメーターは「id=数値」をカンマで区切って書きます</source>
        <translation>Step %1: write parameters as id=number, separated by commas</translation>
    </message>
    <message>
        <source>付属のシナリオ...</source>
        <translation>Shipped scenarios...</translation>
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
    <name>pulsavo::SetupPage</name>
    <message>
        <source>従来の 18 波形</source>
        <translation>The classic 18</translation>
    </message>
    <message>
        <source>洞性</source>
        <translation>Sinus</translation>
    </message>
    <message>
        <source>心房性</source>
        <translation>Atrial</translation>
    </message>
    <message>
        <source>房室接合部性</source>
        <translation>Junctional</translation>
    </message>
    <message>
        <source>房室ブロック</source>
        <translation>AV block</translation>
    </message>
    <message>
        <source>心室期外収縮</source>
        <translation>Ventricular ectopy</translation>
    </message>
    <message>
        <source>心室性</source>
        <translation>Ventricular</translation>
    </message>
    <message>
        <source>ペースメーカー</source>
        <translation>Paced</translation>
    </message>
    <message>
        <source>伝導障害</source>
        <translation>Conduction</translation>
    </message>
    <message>
        <source>問題数(&amp;Q):</source>
        <translation>Number of &amp;questions:</translation>
    </message>
    <message>
        <source>出題する波形(&amp;W):</source>
        <translation>&amp;Rhythms to include:</translation>
    </message>
    <message>
        <source>すべて選択(&amp;L)</source>
        <translation>Select &amp;all</translation>
    </message>
    <message>
        <source>苦手な波形を多く出題(&amp;D)</source>
        <translation>Focus on my &amp;weak rhythms</translation>
    </message>
    <message>
        <source>心拍音(&amp;B)</source>
        <translation>&amp;Beat tone</translation>
    </message>
    <message>
        <source>計測課題も出す(&amp;M)</source>
        <translation>Also ask for a &amp;measurement</translation>
    </message>
    <message>
        <source>回答のあと、止めた波形でキャリパーを使って間隔を測る課題を出します。</source>
        <translation>After each answer, asks you to measure an interval on the frozen trace with the calipers.</translation>
    </message>
    <message>
        <source>出題する波形を1つ以上選んでください。</source>
        <translation>Choose at least one rhythm.</translation>
    </message>
    <message>
        <source>開始(&amp;S)</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>試験コード(&amp;E):</source>
        <translation>&amp;Exam code:</translation>
    </message>
    <message>
        <source>試験を開始(&amp;X)</source>
        <translation>Start e&amp;xam</translation>
    </message>
    <message>
        <source>試験コード</source>
        <translation>Exam code</translation>
    </message>
    <message>
        <source>講師から受け取った試験コード（例: PX-8AK9-P73D）</source>
        <translation>The exam code your instructor gave you (for example PX-8AK9-P73D)</translation>
    </message>
    <message>
        <source>試験コードを入力してください。</source>
        <translation>Please enter an exam code.</translation>
    </message>
    <message>
        <source>試験コードに使えない文字があります。</source>
        <translation>The exam code has a character that codes never use.</translation>
    </message>
    <message>
        <source>試験コードの長さが違います。</source>
        <translation>The exam code has the wrong length.</translation>
    </message>
    <message>
        <source>この試験コードは新しい版の Pulsavo で作られています。</source>
        <translation>This exam code was made by a newer version of Pulsavo.</translation>
    </message>
    <message>
        <source>試験コードが正しくありません。入力を確かめてください。</source>
        <translation>The exam code does not check out. Please check what you typed.</translation>
    </message>
    <message>
        <source>今日の復習 %1 問(&amp;V)</source>
        <translation>Re&amp;view today: %1</translation>
    </message>
    <message>
        <source>今日の復習はありません</source>
        <translation>Nothing to review today</translation>
    </message>
    <message>
        <source>波形名を入力して答える(&amp;I)</source>
        <translation>T&amp;ype the name</translation>
    </message>
    <message>
        <source>一覧を隠し、波形名を日本語・ローマ字・英語・略語で入力して答えます。</source>
        <translation>Hides the list: you type the rhythm name in English, an abbreviation, or Japanese (romaji too).</translation>
    </message>
    <message>
        <source>記録された回答から、今日復習する時期の波形と取り違えた組み合わせを1回ずつ出題します。</source>
        <translation>Asks, once each, the rhythms and the mixed-up pairs your stored answers make due for review today.</translation>
    </message>
    <message>
        <source>アーチファクトを混ぜる(&amp;Y)</source>
        <translation>Artifact over some q&amp;uestions</translation>
    </message>
    <message>
        <source>3問に1問ほど、筋電図の混入や体動などのアーチファクトを波形に重ねます。答えは下の波形名のままです。</source>
        <translation>Lays artifact such as muscle tremor or movement over about one question in three. The answer stays the rhythm underneath.</translation>
    </message>
    <message>
        <source>出題(&amp;Z):</source>
        <translation>Qui&amp;z:</translation>
    </message>
    <message>
        <source>選んだ波形の名前</source>
        <translation>Name the chosen rhythms</translation>
    </message>
    <message>
        <source>アーチファクトか不整脈か</source>
        <translation>Artifact or arrhythmia?</translation>
    </message>
    <message>
        <source>「アーチファクトか不整脈か」は、アーチファクトの乗った洞調律と、それに似た不整脈（心房細動・粗動・心室頻拍・心室細動）を出題します。</source>
        <translation>“Artifact or arrhythmia?” asks sinus rhythm under artifact and the arrhythmias it looks like (atrial fibrillation, flutter, ventricular tachycardia, ventricular fibrillation).</translation>
    </message>
    <message>
        <source>ワークシート形式(&amp;R)</source>
        <translation>Wo&amp;rksheet</translation>
    </message>
    <message>
        <source>波形ごとに心房・心室レート、整・不整、P波、PR、QRS、波形名、次の対応を記入し、項目ごとに採点します。</source>
        <translation>For each strip, fill in the atrial and ventricular rates, regularity, P waves, PR, QRS, the rhythm&apos;s name and the next step; each field is marked on its own.</translation>
    </message>
    <message>
        <source>6秒モード(&amp;6):</source>
        <translation>Six-second mode (&amp;6):</translation>
    </message>
    <message>
        <source>6秒間の記録だけを見せ、制限時間内に答えます。時間を過ぎた回答は記録したうえで不正解になります。</source>
        <translation>Shows six seconds of strip; answer within the time limit. A later answer is kept and counts as wrong.</translation>
    </message>
    <message>
        <source>使わない</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>%1 秒以内に回答</source>
        <translation>Answer within %1 s</translation>
    </message>
</context>
<context>
    <name>pulsavo::SummaryPage</name>
    <message>
        <source>提出ファイルを保存(&amp;S)...</source>
        <translation>&amp;Save hand-in file...</translation>
    </message>
    <message>
        <source>この試験の回答を、講師の成績表で読める 1 つのファイルに保存します。</source>
        <translation>Saves your answers to this exam in one file the instructor&apos;s gradebook reads.</translation>
    </message>
    <message>
        <source>再生中: 問題 %1 %2</source>
        <translation>Replaying: question %1, %2</translation>
    </message>
    <message>
        <source>間違えた問題(&amp;M)（ダブルクリックで再生）:</source>
        <translation>&amp;Missed questions (double-click to replay):</translation>
    </message>
    <message>
        <source>再生(&amp;P)</source>
        <translation>&amp;Replay</translation>
    </message>
    <message>
        <source>新しいラウンド(&amp;N)</source>
        <translation>&amp;New round</translation>
    </message>
    <message>
        <source>得点: %1 / %2
正答率: %3%
回答時間の中央値: %4 秒
ヒント使用: %5 問</source>
        <translation>Score: %1 of %2
Correct: %3%
Median time to answer: %4 s
Hints used: %5</translation>
    </message>
    <message>
        <source>計測: %1 / %2 が誤差 %3 ms 以内</source>
        <translation>Measurements: %1 of %2 within %3 ms</translation>
    </message>
    <message>
        <source>問題 %1: %2（あなたの回答: %3）</source>
        <translation>Question %1: %2 (your answer: %3)</translation>
    </message>
    <message>
        <source>問題 %1: %2（未回答）</source>
        <translation>Question %1: %2 (not answered)</translation>
    </message>
    <message>
        <source>時間切れで未回答: %1 問（不正解として採点）</source>
        <translation>Not answered in time: %1 (scored as wrong)</translation>
    </message>
    <message>
        <source>合格（合格点 %1%）</source>
        <translation>Passed (pass mark %1%)</translation>
    </message>
    <message>
        <source>不合格（合格点 %1%）</source>
        <translation>Not passed (pass mark %1%)</translation>
    </message>
    <message>
        <source>間違えた問題はありません。</source>
        <translation>No questions missed.</translation>
    </message>
    <message>
        <source>%1 件の回答がまだ成績ファイルに保存されていないため、提出ファイルを作れません。しばらくしてからもう一度押してください。</source>
        <translation>%1 answers are not yet saved in the progress file, so the hand-in file cannot be made. Press again in a moment.</translation>
    </message>
    <message>
        <source>提出ファイルを %1 に保存しました。講師に渡してください。</source>
        <translation>Hand-in file saved to %1. Give it to your instructor.</translation>
    </message>
    <message>
        <source>提出ファイルを %1 に保存できませんでした。</source>
        <translation>The hand-in file could not be saved to %1.</translation>
    </message>
    <message>
        <source>制限時間を過ぎた回答: %1 問（不正解として採点）</source>
        <translation>Answers after the time limit: %1 (scored as wrong)</translation>
    </message>
    <message>
        <source>%1 %2/%3</source>
        <translation>%1 %2/%3</translation>
    </message>
    <message>
        <source>ワークシートの項目別: %1</source>
        <translation>Worksheet by field: %1</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
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
    <message>
        <source>練習モード(&amp;P)...</source>
        <translation>&amp;Practice mode...</translation>
    </message>
    <message>
        <source>成績(&amp;R)...</source>
        <translation>P&amp;rogress...</translation>
    </message>
    <message>
        <source>答え合わせ(&amp;K)</source>
        <translation>Chec&amp;k</translation>
    </message>
    <message>
        <source>方眼(&amp;G)</source>
        <translation>&amp;Grid</translation>
    </message>
    <message>
        <source>同期音(&amp;S)</source>
        <translation>&amp;Beat tone</translation>
    </message>
    <message>
        <source>従来(&amp;T)</source>
        <translation>&amp;Classic (threshold)</translation>
    </message>
    <message>
        <source>QRS 毎(&amp;Q)</source>
        <translation>Every &amp;QRS</translation>
    </message>
    <message>
        <source>ラダー図(&amp;D)</source>
        <translation>La&amp;dder</translation>
    </message>
    <message>
        <source>記録紙を保存(&amp;W)...</source>
        <translation>&amp;Save strip...</translation>
    </message>
    <message>
        <source>キャリパー</source>
        <translation>Calipers</translation>
    </message>
    <message>
        <source>一時停止したモニターの上でドラッグして間隔を測ります。1 から 4 のキーで測る種類を選びます</source>
        <translation>Drag across the frozen monitor to measure an interval; keys 1 to 4 choose what is measured</translation>
    </message>
    <message>
        <source>ラダー図</source>
        <translation>Ladder diagram</translation>
    </message>
    <message>
        <source>心房、房室結節、心室の三段で、各拍の興奮の伝わり方を示します</source>
        <translation>Shows how each impulse travels, in three tiers: atria, AV node and ventricles</translation>
    </message>
    <message>
        <source>ライブラリの波形も一覧に出す(&amp;Y)</source>
        <translation>Also list the rhythm librar&amp;y</translation>
    </message>
    <message>
        <source>採点(&amp;B)...</source>
        <translation>Gradeb&amp;ook...</translation>
    </message>
    <message>
        <source>病棟モニター(&amp;W)...</source>
        <translation>&amp;Ward monitor...</translation>
    </message>
    <message>
        <source>インストラクター(&amp;I)...</source>
        <translation>&amp;Instructor...</translation>
    </message>
</context>
<context>
    <name>pulsavo::WardWindow</name>
    <message>
        <source>心静止</source>
        <translation>Asystole</translation>
    </message>
    <message>
        <source>心室細動</source>
        <translation>VF</translation>
    </message>
    <message>
        <source>心室頻拍</source>
        <translation>VT</translation>
    </message>
    <message>
        <source>高度徐脈</source>
        <translation>Extreme brady</translation>
    </message>
    <message>
        <source>高度頻脈</source>
        <translation>Extreme tachy</translation>
    </message>
    <message>
        <source>心拍数 下限</source>
        <translation>HR low</translation>
    </message>
    <message>
        <source>心拍数 上限</source>
        <translation>HR high</translation>
    </message>
    <message>
        <source>SpO2 下限</source>
        <translation>SpO2 low</translation>
    </message>
    <message>
        <source>リードオフ</source>
        <translation>Lead off</translation>
    </message>
    <message>
        <source>ノイズ</source>
        <translation>Noise</translation>
    </message>
    <message>
        <source>基線の揺れ(呼吸)</source>
        <translation>Baseline wander (breathing)</translation>
    </message>
    <message>
        <source>筋電図(ふるえ)</source>
        <translation>Muscle tremor</translation>
    </message>
    <message>
        <source>交流障害</source>
        <translation>Mains interference</translation>
    </message>
    <message>
        <source>体動(電極の動き)</source>
        <translation>Electrode motion</translation>
    </message>
    <message>
        <source>胸骨圧迫(CPR)</source>
        <translation>Chest compressions (CPR)</translation>
    </message>
    <message>
        <source>病棟モニター</source>
        <translation>Ward monitor</translation>
    </message>
    <message>
        <source>波形(&amp;W)</source>
        <translation>&amp;Rhythm</translation>
    </message>
    <message>
        <source>ECG II</source>
        <translation>ECG II</translation>
    </message>
    <message>
        <source>Pleth</source>
        <translation>Pleth</translation>
    </message>
    <message>
        <source>HR /分</source>
        <translation>HR /min</translation>
    </message>
    <message>
        <source>心拍数: R 波ごとに直近 4 拍の R–R 間隔の平均から算出します。心室細動、心静止(4 秒 QRS なし)、リードオフでは --- と表示します。</source>
        <translation>Heart rate: at each R wave, from the mean of the last 4 R–R intervals. Shows --- in VF, in asystole (no QRS for 4 s) and with a lead off.</translation>
    </message>
    <message>
        <source>SpO2 %</source>
        <translation>SpO2 %</translation>
    </message>
    <message>
        <source>脈波が 10 秒見えないと --- と表示します。</source>
        <translation>Shows --- after 10 s without a pulse wave.</translation>
    </message>
    <message>
        <source>アラーム消音(&amp;S)</source>
        <translation>&amp;Silence alarm</translation>
    </message>
    <message>
        <source>アラーム音を 2 分間止めます。新しいアラームが出ると再び鳴ります。</source>
        <translation>Silences the alarm tone for 2 minutes; a new alarm sounds again.</translation>
    </message>
    <message>
        <source>アラーム音を出せません(出力装置なし)</source>
        <translation>Alarm tone cannot sound (no output device)</translation>
    </message>
    <message>
        <source>アーチファクト(&amp;A)</source>
        <translation>&amp;Artifact</translation>
    </message>
    <message>
        <source>強さ(1–10)</source>
        <translation>Strength (1–10)</translation>
    </message>
    <message>
        <source>重ねる</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>外す</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>アラーム設定</source>
        <translation>Alarm limits</translation>
    </message>
    <message>
        <source>%1  強さ %2</source>
        <translation>%1  strength %2</translation>
    </message>
    <message>
        <source>消音中 %1:%2</source>
        <translation>Silenced %1:%2</translation>
    </message>
</context>
<context>
    <name>pulsavo::WorksheetPage</name>
    <message>
        <source>心房レート</source>
        <translation>Atrial rate</translation>
    </message>
    <message>
        <source>心室レート</source>
        <translation>Ventricular rate</translation>
    </message>
    <message>
        <source>整・不整</source>
        <translation>Regularity</translation>
    </message>
    <message>
        <source>P 波</source>
        <translation>P waves</translation>
    </message>
    <message>
        <source>PR 間隔</source>
        <translation>PR interval</translation>
    </message>
    <message>
        <source>QRS 幅</source>
        <translation>QRS width</translation>
    </message>
    <message>
        <source>波形名</source>
        <translation>Rhythm</translation>
    </message>
    <message>
        <source>次の対応</source>
        <translation>Next step</translation>
    </message>
    <message>
        <source>波形名を選んでから回答してください。</source>
        <translation>Choose the rhythm&apos;s name before you answer.</translation>
    </message>
    <message>
        <source>（未記入）</source>
        <translation>(left empty)</translation>
    </message>
    <message>
        <source>%1/分</source>
        <translation>%1/min</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>%1（時々の不整は、どちらの不整も可）</source>
        <translation>%1 (with occasional irregular beats, either irregular also counts)</translation>
    </message>
    <message>
        <source>○</source>
        <translation>✓</translation>
    </message>
    <message>
        <source>×</source>
        <translation>✗</translation>
    </message>
    <message>
        <source>正解: %1。%2 / %3 項目が正しく記入されています。</source>
        <translation>Correct: %1. %2 of %3 fields are right.</translation>
    </message>
    <message>
        <source>不正解: 正しくは %1。%2 / %3 項目が正しく記入されています。</source>
        <translation>Wrong: this is %1. %2 of %3 fields are right.</translation>
    </message>
    <message>
        <source>× 時間切れ（%4 秒かかりました）: %1 は合っていますが、制限時間を過ぎたため不正解です。%2 / %3 項目が正しく記入されています。</source>
        <translation>× Too late (took %4 s): %1 is right, but the time limit had passed, so it counts as wrong. %2 of %3 fields are right.</translation>
    </message>
    <message>
        <source>× 時間切れ（%4 秒かかりました）: 正しくは %1。%2 / %3 項目が正しく記入されています。</source>
        <translation>× Too late (took %4 s): this is %1. %2 of %3 fields are right.</translation>
    </message>
    <message>
        <source>心房レート(&amp;1) /分:</source>
        <translation>Atrial rate (&amp;1) /min:</translation>
    </message>
    <message>
        <source>心室レート(&amp;2) /分:</source>
        <translation>Ventricular rate (&amp;2) /min:</translation>
    </message>
    <message>
        <source>整・不整(&amp;3):</source>
        <translation>Regularity (&amp;3):</translation>
    </message>
    <message>
        <source>P 波(&amp;4):</source>
        <translation>P waves (&amp;4):</translation>
    </message>
    <message>
        <source>PR 間隔(&amp;5):</source>
        <translation>PR interval (&amp;5):</translation>
    </message>
    <message>
        <source>QRS 幅(&amp;6) ms:</source>
        <translation>QRS width (&amp;6) ms:</translation>
    </message>
    <message>
        <source>波形名(&amp;7):</source>
        <translation>Rhythm (&amp;7):</translation>
    </message>
    <message>
        <source>次の対応(&amp;8):</source>
        <translation>Next step (&amp;8):</translation>
    </message>
    <message>
        <source>整</source>
        <translation>Regular</translation>
    </message>
    <message>
        <source>規則的な不整</source>
        <translation>Regularly irregular</translation>
    </message>
    <message>
        <source>不規則な不整</source>
        <translation>Irregularly irregular</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>異常・陰性</source>
        <translation>Abnormal or inverted</translation>
    </message>
    <message>
        <source>QRS より多い</source>
        <translation>More P waves than QRS</translation>
    </message>
    <message>
        <source>粗動波</source>
        <translation>Flutter waves</translation>
    </message>
    <message>
        <source>細動波</source>
        <translation>Fibrillatory waves</translation>
    </message>
    <message>
        <source>経過観察</source>
        <translation>Observe</translation>
    </message>
    <message>
        <source>応援を呼び患者を評価</source>
        <translation>Call for help and assess the patient</translation>
    </message>
    <message>
        <source>同期電気ショック（不安定なら）</source>
        <translation>Synchronised cardioversion (if unstable)</translation>
    </message>
    <message>
        <source>除細動</source>
        <translation>Defibrillate</translation>
    </message>
    <message>
        <source>アトロピン・ペーシング</source>
        <translation>Atropine, pacing</translation>
    </message>
    <message>
        <source>CPR・アドレナリン</source>
        <translation>CPR and adrenaline</translation>
    </message>
    <message>
        <source>ms で記入</source>
        <translation>In ms</translation>
    </message>
    <message>
        <source>一定しない</source>
        <translation>Varies</translation>
    </message>
    <message>
        <source>心房の波がなければ空欄のままにします。</source>
        <translation>Leave it empty where the atria show no waves.</translation>
    </message>
    <message>
        <source>ヒント(&amp;H)</source>
        <translation>&amp;Hint</translation>
    </message>
    <message>
        <source>回答(&amp;A)</source>
        <translation>&amp;Answer</translation>
    </message>
    <message>
        <source>項目</source>
        <translation>Field</translation>
    </message>
    <message>
        <source>あなたの記入</source>
        <translation>Your entry</translation>
    </message>
    <message>
        <source>この波形の値</source>
        <translation>This strip</translation>
    </message>
    <message>
        <source>判定</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>対処方法:</source>
        <translation>Management:</translation>
    </message>
    <message>
        <source>結果を見る(&amp;N)</source>
        <translation>&amp;See results</translation>
    </message>
    <message>
        <source>次の問題(&amp;N)</source>
        <translation>&amp;Next question</translation>
    </message>
    <message>
        <source>止めた波形をキャリパーで測り、各項目を記入して［回答］を押してください。回答すると波形はその場で止まり、採点されます。</source>
        <translation>Freeze the strip, measure it with the calipers, fill in each field and press Answer. The strip stops where it is and is marked.</translation>
    </message>
    <message>
        <source>測定不能(&amp;E)</source>
        <translation>Unmeasurable (&amp;E)</translation>
    </message>
    <message>
        <source>心房が細動していて数えられないときに選びます。</source>
        <translation>Choose this when the atria fibrillate and cannot be counted.</translation>
    </message>
</context>
<context>
    <name>pulsavo::classroom::ClassHost</name>
    <message>
        <source>%1 は教室のネットワークのアドレスではありません</source>
        <translation>%1 is not an address on the classroom network</translation>
    </message>
    <message>
        <source>参加コード %1 は使えません</source>
        <translation>The join code %1 cannot be used</translation>
    </message>
    <message>
        <source>%1 ポート %2 で待ち受けできません</source>
        <translation>Cannot listen on %1 port %2</translation>
    </message>
</context>
<context>
    <name>pulsavo::classroom::ClassLearner</name>
    <message>
        <source>アドレス %1 は読めません (例: 192.168.1.20:8080)</source>
        <translation>The address %1 cannot be read (for example 192.168.1.20:8080)</translation>
    </message>
    <message>
        <source>参加コード %1 は6文字のコードではありません</source>
        <translation>The join code %1 is not a 6-character code</translation>
    </message>
    <message>
        <source>名前は1〜%1文字にしてください</source>
        <translation>Please give a name of 1 to %1 characters</translation>
    </message>
</context>
<context>
    <name>pulsavo::classroom::DiscoveryQuery</name>
    <message>
        <source>%1 は参加コードではありません</source>
        <translation>%1 is not a join code</translation>
    </message>
    <message>
        <source>探索用の UDP ソケットを開けません: %1</source>
        <translation>Cannot open a UDP socket to look for the class: %1</translation>
    </message>
    <message>
        <source>参加コード %1 の教室はこのネットワークで見つかりません</source>
        <translation>No class with the join code %1 was found on this network</translation>
    </message>
</context>
<context>
    <name>pulsavo::classroom::DiscoveryResponder</name>
    <message>
        <source>参加コード %1 と %2 では教室を知らせられません</source>
        <translation>Cannot announce a class with the join code %1 at %2</translation>
    </message>
    <message>
        <source>探索用の UDP ポート %1 を開けません: %2</source>
        <translation>Cannot open UDP port %1 to answer learners looking for the class: %2</translation>
    </message>
</context>
</TS>
