#include "Catalogue.h"
#include "FixedText.h"

namespace pulsavo::catalogue {

namespace {

using namespace text;

// The English edition keeps the frame of the Japanese texts (danger line, then Points, Waveform,
// Action and Drugs sections, one empty line between them) and the order of their points, one
// line per Japanese line. Lines are plain ASCII apart from the stars, with no word long enough
// to overflow the narrow explanation box.
constexpr char dangerLow[] = "Danger level ★☆☆";
constexpr char dangerModerate[] = "Danger level ★★☆";
constexpr char dangerHigh[] = "Danger level ★★★";

constexpr char pointsHeading[] = "<Key points>";
constexpr char waveformHeading[] = "<About the waveform>";
constexpr char actionHeading[] = "<Management>";
constexpr char drugsHeading[] = "<Drugs used>";
constexpr char empty[] = "";

constexpr char suddenAttack[] = "An attack of tachycardia that starts suddenly and stops suddenly.";
constexpr char attacksRecur[] = "Attacks may recur, but the outlook is good, and in many cases "
                                "the attacks stop occurring on their own.";
constexpr char unexplainedPalpitations[] =
    "In patients who complain of palpitations with no clear cause, this is often the tachycardia.";
constexpr char longAttackHeartFailure[] = "A long attack can lead to heart failure.";
constexpr char vagalManoeuvres[] = "Provoke a vagal reflex by physical manoeuvres (carotid sinus "
                                   "massage, pressure on the eyeballs, Valsalva manoeuvre).";
// Electrical treatment of an organised rhythm with a pulse is cardioversion; of flutter and
// fibrillation of the ventricles, defibrillation.
constexpr char cardiovert[] = "Perform electrical cardioversion.";
constexpr char supraventricularDrugs[] = "Digitalis preparations, verapamil (Vasolan), etc.";
constexpr char prepareDefibrillation[] = "Prepare for defibrillation.";
constexpr char lidocaine[] = "Lidocaine (Xylocaine), etc.";
constexpr char pacemaker[] = "Treat with a pacemaker.";
constexpr char watchBradycardiaSymptoms[] = "Watch for symptoms caused by the slow heart rate.";
constexpr char treatUnderlyingDisease[] = "Treat the underlying disease.";

// One source line per line of text.
// clang-format off
constexpr auto sinusRhythm = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    "A P wave is followed by a QRS complex and then a T wave.",
    "The intervals between the waves are normal.",
    "The normal heart rate is 60 to 100 beats per minute.",
    empty,
    waveformHeading,
    "It is made up of atrial excitation (P wave), ventricular excitation (QRS) and the "
    "recovery of the heart muscle from electrical excitation (T wave).",
    "The excitation of the sinus node itself is too small to show as a wave.",
    "The time from the start of the P wave to the start of the QRS is the conduction time "
    "from the sinus node through the AV node.",
    empty,
    actionHeading,
    "Remove the cause (fever, hypothermia, exercise, emotional stress, etc.).",
    empty,
    drugsHeading,
    "For marked tachycardia: propranolol",
    "For marked bradycardia: atropine");

constexpr auto supraventricularPremature = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    "Out of step with the underlying rhythm, a QRST complex appears together with its P wave.",
    "Its shape may differ from the normal complex, but the intervals within it are normal.",
    empty,
    waveformHeading,
    "Caused by an excitation that starts within the atrium, independently of the sinus node.",
    empty,
    actionHeading,
    "Cut down on coffee, smoking and alcohol.",
    empty,
    drugsHeading,
    "Propranolol (Inderal), verapamil (Vasolan), digoxin, disopyramide (Rythmodan), etc.");

constexpr auto atrialTachycardia = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    suddenAttack,
    "P waves are present but are mostly hidden in other waves and cannot be made out.",
    empty,
    waveformHeading,
    "A tachycardia whose source of excitation lies in the atrium; its mechanism is thought to "
    "differ from that of junctional tachycardia (PSVT).",
    "It is hard to tell apart from PSVT, and the two together are also called paroxysmal "
    "supraventricular tachycardia.",
    attacksRecur,
    unexplainedPalpitations,
    longAttackHeartFailure,
    empty,
    actionHeading,
    vagalManoeuvres,
    cardiovert,
    empty,
    drugsHeading,
    supraventricularDrugs);

constexpr auto junctionalTachycardia = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    suddenAttack,
    "QRS-P complexes with no P wave before them follow one another.",
    empty,
    waveformHeading,
    "Caused by excitation circling (re-entry) around the junction, the AV node and nearby "
    "structures.",
    "In many cases even the absence of the P wave cannot be made out.",
    "It is hard to tell apart from PAT, and the two together are also called paroxysmal "
    "supraventricular tachycardia.",
    attacksRecur,
    unexplainedPalpitations,
    longAttackHeartFailure,
    empty,
    actionHeading,
    vagalManoeuvres,
    cardiovert,
    empty,
    drugsHeading,
    supraventricularDrugs);

constexpr auto atrialFibrillation = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "A fine trembling of the baseline (f waves) is shown in red.",
    "QRS complexes come at irregular intervals.",
    empty,
    waveformHeading,
    "Countless sources of excitation in the atria produce countless P waves, which become "
    "the f waves.",
    "The atrial excitation reaches the ventricles irregularly, so the RR interval is irregular.",
    "The heart rate may be fast or slow.",
    "The atria do not contract effectively, so blood stagnates and clots form easily in them.",
    "These clots can cause infarction, for example of the brain or the lungs.",
    empty,
    actionHeading,
    "If chronic, keep watching for tachycardia or bradycardia, and prevent clots with "
    "antithrombotic drugs.",
    "A new onset needs treatment.",
    "Physical methods include electrical cardioversion and pacemakers.",
    empty,
    drugsHeading,
    "Digitalis");

constexpr auto atrialFlutter = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "A fairly large, regular undulation of the baseline (F waves, described as saw-toothed) is "
    "shown in red.",
    "An R wave appears once every fixed number of F waves (sometimes irregularly).",
    empty,
    waveformHeading,
    "It is described by the ratio of F waves to R waves, as in 1:1 conduction or 2:1 "
    "conduction.",
    "With 2:1 or 1:1 conduction the tachycardia is marked and needs urgent treatment.",
    empty,
    actionHeading,
    "Give a digitalis preparation.");

constexpr auto sporadicPvc = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "A wide QRS complex with an inverted T wave is shown in red.",
    "No P wave goes with it.",
    empty,
    waveformHeading,
    "Caused by an excitation that arises in the ventricle.",
    "The beat ejects little blood and is undesirable, but unless frequent it is of little "
    "clinical concern.",
    "Even healthy people may have about 700 a day.",
    "Depending on how they occur, they can be dangerous.",
    empty,
    actionHeading,
    "Six or fewer per minute may simply be observed.",
    "Watch for R on T and for consecutive beats (short runs).",
    empty,
    drugsHeading,
    lidocaine);

constexpr auto multifocalPvc = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "Ventricular premature beats that differ in shape, size or direction appear (two or more "
    "kinds of PVC).",
    empty,
    waveformHeading,
    "Two or more sources of excitation in the ventricles give several kinds of waveform.",
    "There is a high risk of progression to ventricular tachycardia or ventricular fibrillation.",
    empty,
    actionHeading,
    prepareDefibrillation,
    empty,
    drugsHeading,
    lidocaine);

constexpr auto rOnT = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "A ventricular premature beat falls near the peak of the T wave (the vulnerable period).",
    empty,
    waveformHeading,
    "Even a single one can trigger ventricular fibrillation, so it needs attention.",
    empty,
    actionHeading,
    prepareDefibrillation,
    empty,
    drugsHeading,
    lidocaine);

constexpr auto shortRun = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "Two or more ventricular premature beats occur in a row.",
    empty,
    waveformHeading,
    "Two in a row are called a couplet, three in a row a triplet, and so on.",
    "Three or more are sometimes called a short run, and ten or more VT, but the definitions "
    "are loose.",
    empty,
    actionHeading,
    prepareDefibrillation,
    empty,
    drugsHeading,
    lidocaine);

constexpr auto ventricularTachycardia = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "Large waves follow one another at regular intervals.",
    "It starts suddenly, as an attack.",
    empty,
    waveformHeading,
    "Left untreated, it is likely to progress to ventricular flutter or ventricular "
    "fibrillation.",
    "Excitation arises continuously within the ventricle.",
    "Most cases are due to re-entry within the ventricle.",
    "There is no effective cardiac output, often with fainting or breathlessness.",
    "Palpitations, chest pain or chest discomfort are often reported.",
    "A slow form, called slow VT, may keep a fairly good cardiac output.",
    empty,
    actionHeading,
    "Within 30 seconds of onset, a precordial thump may help.",
    "Perform electrical cardioversion or defibrillation.",
    empty,
    drugsHeading,
    lidocaine);

constexpr auto ventricularFibrillation = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "The baseline swings widely and completely irregularly.",
    empty,
    waveformHeading,
    "The heart merely quivers and pumps out almost no blood.",
    "In effect, this is cardiac arrest.",
    empty,
    actionHeading,
    "Give a precordial thump.",
    "Start cardiopulmonary resuscitation (CPR).",
    "Perform defibrillation.",
    empty,
    drugsHeading,
    lidocaine);

constexpr auto sinusArrest = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "The PP interval is no longer constant.",
    "The intervals within each P-QRS-T are normal.",
    empty,
    waveformHeading,
    "Caused by the sinus node firing irregularly.",
    "A flat trace lasting 7 to 8 seconds or more can cause fainting.",
    "After a long pause, escape beats without a P wave may appear.",
    empty,
    actionHeading,
    pacemaker,
    empty,
    drugsHeading,
    "Isoprenaline (Proternol), atropine");

constexpr auto sinoatrialBlock = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "Whole P-QRS-T complexes drop out.",
    "The pause is a whole multiple of the PP interval.",
    empty,
    waveformHeading,
    "The impulse of the sinus node is blocked before it reaches the atria.",
    "As a result, neither a P wave nor a QRS appears.",
    "The sinus node itself keeps firing regularly.",
    "On the ECG it can hardly be told apart from SSS.",
    "Escape beats may be seen.",
    empty,
    actionHeading,
    pacemaker,
    empty,
    drugsHeading,
    "Atropine, isoprenaline (Proternol)");

constexpr auto firstDegreeBlock = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "The PR interval is prolonged (0.24 seconds or more).",
    empty,
    waveformHeading,
    "The conduction time from the sinus node through the AV node is prolonged.",
    "Apart from the long PR interval, the waveform is the same as sinus rhythm.",
    empty,
    actionHeading,
    treatUnderlyingDisease,
    "Watch whether the block progresses.",
    empty,
    drugsHeading,
    "Orciprenaline (Alotec), etc.");

constexpr auto mobitzBlock = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "The QRS that should follow a P wave drops out.",
    "The drop-outs come at irregular times.",
    empty,
    waveformHeading,
    "From time to time the excitation of the sinus node is not conducted beyond the AV node.",
    "When the block occurs often, it is called high-grade AV block.",
    empty,
    actionHeading,
    watchBradycardiaSymptoms,
    pacemaker,
    empty,
    drugsHeading,
    "Atropine, isoprenaline (Proternol), etc.");

constexpr auto wenckebachBlock = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "The PR interval is normal at first and then lengthens step by step.",
    "Finally a QRS drops out.",
    "This repeats periodically.",
    empty,
    waveformHeading,
    "The cycle of PR lengthening and QRS drop-out is called the Wenckebach cycle.",
    "It is often reversible, and often improves when the cause is treated.",
    empty,
    actionHeading,
    watchBradycardiaSymptoms,
    "Watch closely for progression of the block.",
    treatUnderlyingDisease,
    empty,
    drugsHeading,
    "Atropine");

constexpr auto completeBlock = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "P waves appear, but no QRS follows them.",
    "Escape beats from below the AV node come at a steady rhythm of their own, unrelated to "
    "the P waves.",
    empty,
    waveformHeading,
    "The sinus node fires and the atria contract regularly, but the excitation is not "
    "conducted beyond the AV node.",
    "The parts below the AV node, receiving no impulse, become an independent second "
    "pacemaker.",
    "So P waves and QRS complexes occur independently of each other.",
    "Because the excitation arises below the AV node, the rhythm is slow.",
    "The QRS may look like a ventricular premature contraction (VPC).",
    empty,
    actionHeading,
    pacemaker,
    empty,
    drugsHeading,
    "Atropine, isoprenaline (Proternol), etc.");
// clang-format on

} // namespace

const Entries englishNames{
    "Sinus rhythm",
    "Supraventricular premature contraction (SVPC)",
    "Paroxysmal atrial tachycardia (PAT)",
    "Junctional tachycardia (PSVT)",
    "Atrial fibrillation (AF)",
    "Atrial flutter (AFL)",
    "Premature ventricular contraction (PVC), sporadic",
    "Premature ventricular contraction (PVC), multifocal",
    "Premature ventricular contraction (PVC), R on T",
    "Premature ventricular contraction (PVC), short run",
    "Ventricular tachycardia (VT)",
    "Ventricular flutter and fibrillation (VF)",
    "Sinus arrest (SSS)",
    "Sinoatrial block (SA block)",
    "First-degree AV block",
    "Second-degree AV block, Mobitz type II",
    "Second-degree AV block, Wenckebach (Mobitz type I)",
    "Third-degree (complete) AV block",
};

const Entries englishTexts{
    sinusRhythm.view(),
    supraventricularPremature.view(),
    atrialTachycardia.view(),
    junctionalTachycardia.view(),
    atrialFibrillation.view(),
    atrialFlutter.view(),
    sporadicPvc.view(),
    multifocalPvc.view(),
    rOnT.view(),
    shortRun.view(),
    ventricularTachycardia.view(),
    ventricularFibrillation.view(),
    sinusArrest.view(),
    sinoatrialBlock.view(),
    firstDegreeBlock.view(),
    mobitzBlock.view(),
    wenckebachBlock.view(),
    completeBlock.view(),
};

} // namespace pulsavo::catalogue
