#include "LibraryCatalogue.h"

#include "FixedText.h"

namespace pulsavo::catalogue {

namespace {

using namespace text;

// As for the classic texts, the English edition follows the Japanese line for line, with the
// same figures in its key points.
constexpr char dangerLow[] = "Danger level ★☆☆";
constexpr char dangerModerate[] = "Danger level ★★☆";
constexpr char dangerHigh[] = "Danger level ★★★";

constexpr char pointsHeading[] = "<Key points>";
constexpr char waveformHeading[] = "<About the waveform>";
constexpr char actionHeading[] = "<Management>";
constexpr char drugsHeading[] = "<Drugs used>";
constexpr char empty[] = "";

constexpr char sinusP[] = "A sinus P wave of the same shape comes before every QRS complex.";
constexpr char sinusBase[] = "The underlying rhythm is sinus at 60 to 100/min.";
constexpr char narrowQrs[] = "The QRS is narrow (60 to 100 ms).";
constexpr char noTreatment[] = "No treatment is needed.";
constexpr char noDrugs[] = "None";
constexpr char usuallyNoDrugs[] = "Usually none";

constexpr char unstableCardioversion[] = "If unstable (shock, syncope, myocardial ischaemia, heart "
                                         "failure), give synchronised cardioversion.";
constexpr char symptomaticBradycardia[] =
    "If there are adverse features (shock, syncope, myocardial ischaemia, heart failure), give "
    "IV atropine.";
constexpr char bradycardiaEscalation[] =
    "If that fails, use transcutaneous pacing or an adrenaline or dopamine infusion.";
constexpr char atropine[] = "Atropine (0.5 to 1 mg IV every 3 to 5 min, up to 3 mg in total)";
constexpr char infusions[] = "Adrenaline (2 to 10 mcg/min), dopamine (5 to 20 mcg/kg/min)";
constexpr char adenosine[] = "Adenosine (ATP in Japan) by rapid IV bolus";

constexpr char flutterWaves[] =
    "In place of P waves there are saw-tooth F waves at 250 to 350/min.";
constexpr char flutterBaseline[] =
    "The F waves are negative in lead II, with no flat baseline between them.";
constexpr char flutterRateControl[] =
    "If stable, control the rate with a beta blocker, diltiazem or similar.";
constexpr char flutterAnticoagulation[] = "Decide on anticoagulation as for atrial fibrillation; "
                                          "consider catheter ablation for a cure.";
constexpr char flutterDrugs[] = "Beta blockers, diltiazem, verapamil, anticoagulants (DOAC)";
constexpr char fibrillationWaves[] =
    "There are no P waves; the baseline trembles finely (f waves at 350 to 600/min).";
constexpr char irregularlyIrregular[] = "The RR intervals are completely irregular "
                                        "(irregularly irregular).";
constexpr char anticoagulants[] = "Anticoagulants (direct oral anticoagulants: DOAC; warfarin)";

constexpr char noPBeforeQrs[] = "No P wave comes before the QRS (an inverted retrograde P "
                                "just after it, or no P at all).";
constexpr char digoxinCheck[] =
    "If the patient takes digoxin, stop it and check the level and the potassium.";

constexpr char pvcShape[] =
    "No P wave precedes the PVC; its QRS is wide and its T wave points the other way.";
constexpr char pvcAsymptomatic[] = "If there are no symptoms and they are isolated, no "
                                   "treatment is needed.";
constexpr char pvcRegularNoSymptoms[] =
    "With no symptoms and normal heart function, no treatment is needed.";
constexpr char pvcWorkUp[] = "Check potassium and magnesium, and look for heart disease.";
constexpr char noSuppression[] = "Do not suppress them with antiarrhythmic drugs as a "
                                 "precaution.";
constexpr char pvcDrugs[] =
    "A beta blocker if symptoms are troublesome (correct low potassium and magnesium)";
constexpr char correctCauses[] =
    "Find and correct the cause (ischaemia, electrolytes, hypoxia, drugs).";
constexpr char monitorAndPrepare[] = "Monitor the ECG continuously and have a defibrillator "
                                     "ready.";
constexpr char electrolytes[] = "Potassium and magnesium replacement";
constexpr char specialistDrugs[] = "Beta blockers, amiodarone (with a specialist)";

constexpr char pulseFirst[] = "Check for a pulse first.";
constexpr char pulseCheck[] = "Check for a pulse first; without one, treat it as cardiac "
                              "arrest.";
constexpr char defibrillate[] = "Defibrillate at once and resume chest compressions "
                                "immediately.";
constexpr char rhythmCheck[] =
    "Check the rhythm every 2 minutes and shock again while it stays shockable.";
constexpr char noThump[] =
    "No precordial thump; keep up chest compressions until the defibrillator is ready.";
constexpr char arrestAdrenaline[] = "Adrenaline 1 mg if shocks fail, then every 3 to 5 min";
constexpr char arrestAntiarrhythmics[] =
    "Amiodarone 300 mg (after the third shock), nifekalant, lidocaine";
constexpr char quiverNoOutput[] = "the heart only quivers and pumps no blood (cardiac arrest).";
constexpr char cprAndAdrenaline[] = "Start CPR at once and give adrenaline as early as "
                                    "possible.";
constexpr char noDefibrillation[] = "Defibrillation is not indicated.";
constexpr char reversibleCauses[] = "Look for reversible causes (hypoxia, hypovolaemia, "
                                    "electrolyte disorders, hypothermia,";
constexpr char reversibleCausesCont[] = "tension pneumothorax, tamponade, toxins, thrombosis).";
constexpr char asystoleAdrenaline[] = "Adrenaline 1 mg (as early as possible, then every 3 to "
                                      "5 min)";
constexpr char checkLeads[] = "A loose electrode, the wrong lead or a low gain also gives a "
                              "flat line, so check them.";

constexpr char pacingWorks[] = "If it works properly, no treatment is needed.";
constexpr char pacemakerCard[] =
    "Check the settings (mode, lower rate) on the patient's pacemaker card.";
constexpr char pacingRate[] = "The pacing rate is 60 to 80/min.";
constexpr char deviceCheck[] = "Ask a specialist to check the device with its programmer.";

// One source line per line of text.
// clang-format off
constexpr auto sinusRhythm = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusP,
    "The rate is 60 to 100/min and the RR intervals are regular.",
    "The PR interval is 120 to 200 ms and constant.",
    narrowQrs,
    empty,
    waveformHeading,
    "The normal rhythm: the sinus impulse spreads through the atria, the AV node, the His "
    "bundle and the bundle branches.",
    "The P wave is atrial excitation, the QRS ventricular excitation and the T wave its "
    "recovery.",
    "At a paper speed of 25 mm/s the rate is 300 divided by the number of large squares "
    "between R waves.",
    empty,
    actionHeading,
    noTreatment,
    "Make it a habit to check the P wave, the PR interval and the QRS width as the yardstick "
    "for every other rhythm.",
    empty,
    drugsHeading,
    noDrugs);

constexpr auto sinusBradycardia = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusP,
    "The rate is 40 to 59/min (under 60/min) and regular.",
    "The PR interval is 120 to 200 ms and constant.",
    narrowQrs,
    empty,
    waveformHeading,
    "The sinus node fires slowly; the waves and intervals are those of sinus rhythm.",
    "It is normal in athletes and during sleep.",
    "Drugs (beta blockers, calcium channel blockers and others), hypothyroidism and inferior "
    "infarction also cause it.",
    empty,
    actionHeading,
    "Without symptoms, observe and review the drugs that may cause it.",
    symptomaticBradycardia,
    bradycardiaEscalation,
    empty,
    drugsHeading,
    atropine,
    infusions);

constexpr auto sinusTachycardia = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusP,
    "The rate is 101 to 160/min (over 100/min) and regular.",
    "The PR interval is 120 to 200 ms and constant.",
    narrowQrs,
    empty,
    waveformHeading,
    "The sinus node fires fast, mostly as the body's response to a demand.",
    "It speeds up and slows down gradually, never abruptly.",
    "At high rates the P wave merges with the preceding T wave and it can be mistaken for SVT.",
    empty,
    actionHeading,
    "Find and treat the cause (fever, pain, anxiety, dehydration, bleeding, anaemia, hypoxia, "
    "sepsis,",
    "thyrotoxicosis, pulmonary embolism and others).",
    "Never bring the rate down by itself with shocks or antiarrhythmic drugs.",
    empty,
    drugsHeading,
    "Treatment of the cause (fluids, oxygen, antipyretics, analgesics and others)");

constexpr auto sinusArrhythmia = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    "A sinus P wave comes before every QRS and the PR interval is constant.",
    "The mean rate is 60 to 100/min.",
    "The PP interval varies in step with breathing (a cycle of 3 to 5 seconds).",
    "The longest and shortest PP intervals differ by 160 ms or more.",
    empty,
    waveformHeading,
    "The rate rises on breathing in and falls on breathing out, as vagal tone changes.",
    "It is a normal finding, common in children and young people.",
    empty,
    actionHeading,
    noTreatment,
    "Irregularity unrelated to breathing suggests ectopic beats or atrial fibrillation.",
    empty,
    drugsHeading,
    noDrugs);

constexpr auto sinusArrest = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    sinusBase,
    "Every 4 to 8 beats the P waves suddenly stop, leaving a pause of 2.0 to 3.5 seconds.",
    "The pause is not a whole multiple of the PP interval (unlike SA block).",
    "Sinus rhythm resumes after the pause.",
    empty,
    waveformHeading,
    "The sinus node stops generating impulses for a while.",
    "A form of sick sinus syndrome (SSS); drugs and vagal tone can also cause it.",
    "After a long pause, junctional or ventricular escape beats may appear.",
    empty,
    actionHeading,
    "Pauses over 3 seconds carry a risk of asystole; get pacing ready.",
    symptomaticBradycardia,
    "Review drugs that may cause it and consider a permanent pacemaker.",
    empty,
    drugsHeading,
    atropine,
    infusions);

constexpr auto saBlock = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    sinusBase,
    "Every 3 to 7 beats a whole P-QRS-T drops out.",
    "The pause is exactly 2 PP intervals long (unlike sinus arrest).",
    empty,
    waveformHeading,
    "The sinus node fires regularly, but its impulse does not reach the atria.",
    "This is second-degree SA block; the sinus node's own firing never shows on the ECG.",
    "A form of sick sinus syndrome.",
    empty,
    actionHeading,
    "Without symptoms, observe and review the drugs that may cause it.",
    symptomaticBradycardia,
    "If symptoms recur, consider a permanent pacemaker.",
    empty,
    drugsHeading,
    atropine,
    infusions);

constexpr auto pac = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusBase,
    "Every 3 to 8 beats an early P' wave comes at 55 to 75% of the PP interval.",
    "The P' differs in shape from the sinus P (biphasic); the PR' is 120 to 200 ms.",
    narrowQrs,
    "The sinus node is reset, so the pause is not compensatory.",
    empty,
    waveformHeading,
    "A site in the atria other than the sinus node fires before the sinus node does.",
    "A supraventricular premature beat, common in healthy people too.",
    "A very early P' may not be conducted and then has no QRS after it.",
    empty,
    actionHeading,
    "Without symptoms, no treatment is needed.",
    "Cut down on caffeine, alcohol, smoking, lack of sleep and stress.",
    "Frequent PACs can herald atrial fibrillation or SVT.",
    empty,
    drugsHeading,
    "A beta blocker if symptoms are troublesome");

constexpr auto atrialTachycardia = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "A tachycardia from an ectopic atrial focus at 150 to 250/min, regular.",
    "An abnormal P' wave comes before every QRS (1:1 conduction).",
    "The PR interval is 120 to 160 ms.",
    narrowQrs,
    empty,
    waveformHeading,
    "A single site in the atria keeps firing rapidly.",
    "The P' may be negative or biphasic in lead II, a clue that separates it from sinus "
    "tachycardia.",
    "Digoxin toxicity gives atrial tachycardia with AV block.",
    empty,
    actionHeading,
    unstableCardioversion,
    "If stable, try vagal manoeuvres and adenosine (they make the P' waves easier to see).",
    "Control the rate with a beta blocker or similar, and correct digoxin toxicity or low "
    "potassium.",
    empty,
    drugsHeading,
    adenosine,
    "Beta blockers, verapamil, diltiazem");

constexpr auto mat = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "The mean rate is 100 to 150/min and irregular.",
    "There are P' waves of at least 3 different shapes.",
    "The PP and PR intervals (120 to 200 ms) change from beat to beat.",
    narrowQrs,
    empty,
    waveformHeading,
    "Several sites in the atria fire independently.",
    "Seen in severe lung disease (COPD), hypoxia, electrolyte disorders, theophylline use and "
    "the like.",
    "Its irregularity suggests atrial fibrillation, but there are distinct P' waves.",
    empty,
    actionHeading,
    "Treat the underlying disease (hypoxia, respiratory failure, low potassium, low "
    "magnesium).",
    "Cardioversion does not work.",
    "If the rate needs control, use verapamil or a beta blocker with care.",
    empty,
    drugsHeading,
    "Magnesium sulfate, verapamil, diltiazem",
    "Beta blockers (beware of bronchospasm)");

constexpr auto afControlled = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    fibrillationWaves,
    irregularlyIrregular,
    "The mean ventricular rate is held at 60 to 100/min.",
    narrowQrs,
    empty,
    waveformHeading,
    "The atria are excited chaotically and do not contract effectively.",
    "How many impulses the AV node lets through sets the ventricular rate.",
    "Clots form easily in the atria and can cause stroke.",
    empty,
    actionHeading,
    "Assess the stroke risk (CHA2DS2-VASc score or similar) and decide on anticoagulation.",
    "Decide with a specialist on rate control and, if needed, restoring sinus rhythm.",
    "After more than 48 hours (or an unknown time), do not restore sinus rhythm without "
    "anticoagulation.",
    empty,
    drugsHeading,
    anticoagulants,
    "For rate control: beta blockers, diltiazem, verapamil, digoxin");

constexpr auto afRapid = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    fibrillationWaves,
    irregularlyIrregular,
    "The ventricular rate is fast, 110 to 160/min.",
    narrowQrs,
    empty,
    waveformHeading,
    "Atrial fibrillation in which many impulses pass the AV node and the ventricles beat fast.",
    "Diastole shortens and output falls, readily causing heart failure or hypotension.",
    empty,
    actionHeading,
    unstableCardioversion,
    "If stable, control the rate with a beta blocker or diltiazem.",
    "In heart failure use digoxin or amiodarone and avoid calcium channel blockers.",
    "After more than 48 hours (or an unknown time), do not restore sinus rhythm without "
    "anticoagulation.",
    empty,
    drugsHeading,
    "Beta blockers (landiolol and others), diltiazem, verapamil",
    "Digoxin, amiodarone, anticoagulants (heparin, DOAC)");

constexpr auto flutter2to1 = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    flutterWaves,
    flutterBaseline,
    "With 2:1 conduction the ventricles beat at 125 to 175/min, regularly.",
    narrowQrs,
    empty,
    waveformHeading,
    "An impulse circling a large loop in the right atrium (macro re-entry) causes it.",
    "One F wave hides in the QRS or T wave, so it is easily mistaken for sinus tachycardia "
    "or SVT.",
    "When vagal manoeuvres or adenosine slow conduction, the F waves show clearly.",
    empty,
    actionHeading,
    unstableCardioversion,
    flutterRateControl,
    flutterAnticoagulation,
    empty,
    drugsHeading,
    flutterDrugs);

constexpr auto flutter4to1 = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    flutterWaves,
    flutterBaseline,
    "With 4:1 conduction the ventricles beat at 62 to 88/min, regularly.",
    narrowQrs,
    empty,
    waveformHeading,
    "There are 4 F waves to each RR interval and the saw-tooth is easy to see.",
    "AV nodal conduction is held back (by drugs or otherwise).",
    empty,
    actionHeading,
    "If the rate is adequate, no urgent treatment is needed.",
    flutterAnticoagulation,
    empty,
    drugsHeading,
    anticoagulants,
    "For rate control: beta blockers");

constexpr auto flutterVariable = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    flutterWaves,
    flutterBaseline,
    "The conduction ratio changes among 2:1, 3:1 and 4:1, so the RR is irregular.",
    narrowQrs,
    empty,
    waveformHeading,
    "Each RR interval is a whole multiple of the F-F interval, unlike the random RR of atrial "
    "fibrillation.",
    "The rate changes whenever the conduction ratio does.",
    empty,
    actionHeading,
    unstableCardioversion,
    flutterRateControl,
    flutterAnticoagulation,
    empty,
    drugsHeading,
    flutterDrugs);

constexpr auto flutter3to1 = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    flutterWaves,
    flutterBaseline,
    "With 3:1 conduction the ventricles beat at a third of the F rate (83 to 117/min), "
    "regularly.",
    narrowQrs,
    empty,
    waveformHeading,
    "There are 3 F waves to each RR interval.",
    "Odd ratios are less common; flutter mostly conducts 2:1 or 4:1.",
    empty,
    actionHeading,
    unstableCardioversion,
    flutterRateControl,
    flutterAnticoagulation,
    empty,
    drugsHeading,
    flutterDrugs);

constexpr auto pjc = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusBase,
    "Every 3 to 8 beats an early narrow QRS appears.",
    "Its P' is inverted with a PR' under 120 ms, or there is no P'.",
    narrowQrs,
    "The sinus node is reset and the sinus cycle after it shifts.",
    empty,
    waveformHeading,
    "An early impulse from the AV junction goes forward to the ventricles and backward to the "
    "atria.",
    "A supraventricular premature beat; the P' may come before, within or after the QRS.",
    empty,
    actionHeading,
    "Without symptoms, no treatment is needed.",
    "Cut down on caffeine, alcohol and smoking, and rule out digoxin toxicity.",
    empty,
    drugsHeading,
    usuallyNoDrugs);

constexpr auto junctionalEscape = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "The rate is 40 to 60/min and regular.",
    narrowQrs,
    noPBeforeQrs,
    empty,
    waveformHeading,
    "When the sinus node slows or stops, the AV junction takes over and makes the beats.",
    "An escape rhythm that keeps the heart beating; never suppress it.",
    empty,
    actionHeading,
    "Look for the cause (sinus node disease, AV block, drugs, vagal tone, inferior "
    "infarction).",
    symptomaticBradycardia,
    bradycardiaEscalation,
    empty,
    drugsHeading,
    atropine,
    infusions);

constexpr auto acceleratedJunctional = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "The rate is 61 to 100/min and regular.",
    narrowQrs,
    noPBeforeQrs,
    empty,
    waveformHeading,
    "Enhanced automaticity makes the AV junction fire faster than the sinus node.",
    "Seen in digoxin toxicity, myocardial infarction, after heart surgery and in myocarditis.",
    empty,
    actionHeading,
    "Mostly transient; treating the cause is enough.",
    digoxinCheck,
    empty,
    drugsHeading,
    usuallyNoDrugs);

constexpr auto junctionalTachycardia = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "The rate is 101 to 140/min and regular.",
    narrowQrs,
    noPBeforeQrs,
    empty,
    waveformHeading,
    "A tachycardia of still more enhanced junctional automaticity; it starts and stops "
    "gradually.",
    "Seen in digoxin toxicity, myocardial infarction and after heart surgery (children "
    "especially).",
    "Not being re-entry, it seldom stops with adenosine or a shock.",
    empty,
    actionHeading,
    "Correct the cause (digoxin toxicity, electrolyte disorders, catecholamine infusions and "
    "others).",
    digoxinCheck,
    "If the rate needs control, use a beta blocker or similar with a specialist.",
    empty,
    drugsHeading,
    "Beta blockers, amiodarone");

constexpr auto svtAvnrt = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "The rate is 150 to 250/min and regular.",
    narrowQrs,
    "The P wave is hidden in the QRS or just after it (RP under 100 ms).",
    empty,
    waveformHeading,
    "An impulse circles through a fast and a slow pathway within the AV node (re-entry).",
    "The commonest paroxysmal SVT; it starts suddenly and stops suddenly.",
    "Common in young people, mostly with no heart disease.",
    empty,
    actionHeading,
    unstableCardioversion,
    "If stable, use vagal manoeuvres such as the modified Valsalva manoeuvre",
    "(strain for 15 seconds half sitting, then lie flat at once with the legs raised).",
    "If that fails, give adenosine by rapid IV bolus. Never press on the eyeballs.",
    "Recurrent attacks can be cured by catheter ablation.",
    empty,
    drugsHeading,
    adenosine,
    "Verapamil, diltiazem, beta blockers");

constexpr auto wpw = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    sinusBase,
    "The PR interval is short (80 to 110 ms, under 120 ms).",
    "A delta wave slurs the start of the QRS (30 to 50 ms).",
    "The QRS widens to 110 to 140 ms.",
    empty,
    waveformHeading,
    "An accessory pathway (Kent bundle) bypasses the AV node and excites part of the "
    "ventricles early.",
    "The ECG finding alone is the WPW pattern; with attacks of tachycardia it is the WPW "
    "syndrome.",
    "It can cause AV re-entrant tachycardia or pre-excited atrial fibrillation (which looks "
    "like VT).",
    empty,
    actionHeading,
    "Without attacks, have a specialist assess the risk of sudden death.",
    "In pre-excited atrial fibrillation, do not give drugs that block the AV node",
    "(adenosine, verapamil, diltiazem and digoxin are contraindicated).",
    unstableCardioversion,
    "Catheter ablation is curative.",
    empty,
    drugsHeading,
    "Procainamide for pre-excited atrial fibrillation",
    "Adenosine (after vagal manoeuvres) for narrow-complex AV re-entrant tachycardia");

constexpr auto avBlock1 = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusBase,
    "The PR interval is prolonged to 210 to 380 ms and constant (over 200 ms).",
    "Every P wave is followed by a QRS; none drops out.",
    empty,
    waveformHeading,
    "Conduction from atria to ventricles (mostly in the AV node) is delayed but not "
    "interrupted.",
    "Seen in athletes, with vagal tone, with drugs and in inferior infarction.",
    empty,
    actionHeading,
    "On its own it needs no treatment.",
    "Review drugs that may cause it and watch for progression to a higher-degree block.",
    empty,
    drugsHeading,
    "None (consider reducing or stopping a causative drug)");

constexpr auto mobitz1 = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    sinusBase,
    "The PR lengthens beat by beat from 160 to 220 ms until a QRS drops out.",
    "The first increase is the largest, so the RR shortens within the group.",
    "Conduction fails every 3 to 5 beats; the RR around the drop is shorter than 2 PP "
    "intervals.",
    empty,
    waveformHeading,
    "AV nodal conduction tires step by step until one beat is not conducted, and the cycle "
    "repeats.",
    "This is the Wenckebach cycle; the PR after the drop is the shortest.",
    "The block is almost always in the AV node and the outlook is usually good.",
    empty,
    actionHeading,
    "Without symptoms, observe and look for the cause (drugs, inferior infarction, vagal "
    "tone).",
    symptomaticBradycardia,
    empty,
    drugsHeading,
    atropine);

constexpr auto mobitz2 = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    sinusBase,
    "The PR interval is 120 to 200 ms and constant.",
    "After 2 to 5 conducted beats, a QRS drops out after a P wave without warning.",
    "The RR around the drop is exactly 2 PP intervals.",
    "The QRS may be narrow or wide.",
    empty,
    waveformHeading,
    "The block is usually below the AV node, in the His bundle or bundle branches.",
    "There is a high risk of complete heart block or asystole.",
    empty,
    actionHeading,
    "Even without symptoms there is a risk of asystole: have pacing ready and call a "
    "specialist.",
    "With symptoms, use transcutaneous pacing or adrenaline, then transvenous pacing.",
    "Atropine often fails. A permanent pacemaker is indicated.",
    empty,
    drugsHeading,
    "Adrenaline, dopamine, isoprenaline (as a bridge to pacing)");

constexpr auto avBlock2to1 = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "The atrial rate is 70 to 100/min and 1 P wave in 2 is blocked.",
    "Conducted P waves have a constant PR of 120 to 200 ms.",
    "The ventricular rate is half the atrial rate (35 to 50/min).",
    empty,
    waveformHeading,
    "With no two conducted beats in a row, Mobitz I cannot be told from Mobitz II.",
    "A narrow QRS points to the AV node, a wide QRS to a block below it.",
    "A blocked P wave hidden in the T wave makes it look like sinus bradycardia.",
    empty,
    actionHeading,
    symptomaticBradycardia,
    bradycardiaEscalation,
    "As it may progress, have pacing ready and call a specialist.",
    empty,
    drugsHeading,
    atropine,
    infusions);

constexpr auto chbNarrow = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "P waves (60 to 100/min) and QRS complexes (35 to 60/min) come independently.",
    "The atria beat faster than the ventricles and the PR interval varies at random.",
    "The QRS is under 120 ms: a junctional escape rhythm.",
    empty,
    waveformHeading,
    "No atrial impulse reaches the ventricles; the AV junction drives them.",
    "Even where P waves hide in the QRS or T wave, marching out the PP shows them regular.",
    "Common with AV nodal block (inferior infarction, drugs and others).",
    empty,
    actionHeading,
    symptomaticBradycardia,
    bradycardiaEscalation,
    "Most need a permanent pacemaker; call a specialist.",
    empty,
    drugsHeading,
    atropine,
    infusions);

constexpr auto chbWide = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "P waves (60 to 100/min) and QRS complexes come independently (AV dissociation).",
    "The ventricular escape rhythm is slow, 20 to 40/min, with a QRS of 120 ms or more.",
    empty,
    waveformHeading,
    "The block lies below the His bundle; only a ventricular escape rhythm keeps the heart "
    "beating.",
    "The escape rhythm is unreliable and may give way to asystole.",
    empty,
    actionHeading,
    "Prepare transcutaneous pacing at once (atropine rarely works).",
    "Bridge with an infusion, then transvenous pacing and a permanent pacemaker.",
    "Do not give antiarrhythmics that suppress the escape rhythm (lidocaine and others).",
    empty,
    drugsHeading,
    "Adrenaline, dopamine, isoprenaline");

constexpr auto pvcUnifocal = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusBase,
    "Every 3 to 10 beats an early wide QRS (120 to 160 ms) appears.",
    pvcShape,
    "They all have the same shape and a fixed coupling interval (from the preceding QRS).",
    "Compensatory pause: the RR around the PVC is exactly 2 PP intervals.",
    empty,
    waveformHeading,
    "An early impulse from one site in the ventricles spreads by a roundabout path, so the QRS "
    "is wide.",
    "The sinus node is not reset; the next sinus P hides in the PVC.",
    empty,
    actionHeading,
    pvcAsymptomatic,
    pvcWorkUp,
    noSuppression,
    empty,
    drugsHeading,
    pvcDrugs);

constexpr auto pvcMultifocal = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    sinusBase,
    "Ventricular premature beats with a wide QRS (120 to 160 ms) appear.",
    "The PVCs have 3 shapes and their coupling intervals vary.",
    pvcShape,
    empty,
    waveformHeading,
    "Impulses arise from several sites in the ventricles.",
    "It can signal myocardial damage such as ischaemia, low potassium or digoxin toxicity.",
    "There is a risk of progression to VT or VF.",
    empty,
    actionHeading,
    correctCauses,
    monitorAndPrepare,
    empty,
    drugsHeading,
    electrolytes,
    specialistDrugs);

constexpr auto ventricularBigeminy = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusBase,
    "Normal beats and PVCs alternate (N V N V).",
    "The coupling interval is fixed and a compensatory pause follows each PVC.",
    pvcShape,
    empty,
    waveformHeading,
    "Ventricular bigeminy. PVCs eject little blood, so the pulse may count fewer beats than "
    "the ECG.",
    "With a PVC every second beat, check for poor heart function and electrolyte disorders.",
    empty,
    actionHeading,
    pvcRegularNoSymptoms,
    pvcWorkUp,
    noSuppression,
    empty,
    drugsHeading,
    pvcDrugs);

constexpr auto ventricularTrigeminy = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    sinusBase,
    "2 normal beats are followed by 1 PVC (N N V).",
    "The coupling interval is fixed and a compensatory pause follows each PVC.",
    pvcShape,
    empty,
    waveformHeading,
    "Ventricular trigeminy.",
    "Isolated PVCs repeating in a regular pattern; they mean the same as isolated PVCs.",
    empty,
    actionHeading,
    pvcRegularNoSymptoms,
    pvcWorkUp,
    noSuppression,
    empty,
    drugsHeading,
    pvcDrugs);

constexpr auto pvcCouplets = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    sinusBase,
    "Every 4 to 8 beats 2 PVCs come in a row (a couplet).",
    pvcShape,
    empty,
    waveformHeading,
    "Two in a row are called a couplet.",
    "Three or more in a row are non-sustained VT, which is more dangerous than single PVCs.",
    empty,
    actionHeading,
    correctCauses,
    monitorAndPrepare,
    empty,
    drugsHeading,
    electrolytes,
    specialistDrugs);

constexpr auto pvcROnT = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    sinusBase,
    "Very early PVCs appear with a coupling interval of 240 to 320 ms.",
    "The PVC lands on the T wave of the beat before (the vulnerable period).",
    empty,
    waveformHeading,
    "A stimulus during uneven ventricular recovery can trigger VT or VF.",
    "It is most dangerous with a long QT, acute ischaemia or electrolyte disorders.",
    empty,
    actionHeading,
    monitorAndPrepare,
    "Correct potassium and magnesium, and review drugs that prolong the QT.",
    "If VF or pulseless VT follows, defibrillate at once.",
    empty,
    drugsHeading,
    electrolytes,
    "A beta blocker if there is ischaemia");

constexpr auto nsvt = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    sinusBase,
    "Runs of 3 to 10 wide ventricular beats occur at 120 to 200/min.",
    "Each run stops by itself within 30 seconds and sinus rhythm returns.",
    empty,
    waveformHeading,
    "VT of 3 beats or more that stops within 30 seconds is called non-sustained VT.",
    "In people with heart disease it marks a risk of sudden death.",
    empty,
    actionHeading,
    monitorAndPrepare,
    "Correct electrolytes and look for heart disease with an echocardiogram and other tests.",
    empty,
    drugsHeading,
    electrolytes,
    specialistDrugs);

constexpr auto idioventricular = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "The ventricular rate is 20 to 40/min and the QRS is 120 ms or more.",
    "There are no P waves.",
    empty,
    waveformHeading,
    "A ventricular escape rhythm, when every higher pacemaker has failed.",
    "Output is low, and there may be no pulse at all (pulseless electrical activity).",
    "It is often seen just before cardiac arrest or during resuscitation.",
    empty,
    actionHeading,
    pulseCheck,
    "With a pulse, treat it as severe bradycardia with transcutaneous pacing or adrenaline.",
    "Do not give antiarrhythmics that suppress the escape rhythm (lidocaine and others).",
    empty,
    drugsHeading,
    "Adrenaline (atropine is of little use)");

constexpr auto aivr = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    "The ventricular rate is 50 to 100/min and the QRS is 120 ms or more.",
    "There are no P waves.",
    empty,
    waveformHeading,
    "Enhanced ventricular automaticity takes over just faster than the sinus node.",
    "Common after reperfusion of a myocardial infarction; mostly transient and benign.",
    "Its slower rate sets it apart from ventricular tachycardia.",
    empty,
    actionHeading,
    "If the circulation is stable, no treatment is needed; keep monitoring.",
    "Do not suppress it with antiarrhythmics (losing the lower rhythm can mean cardiac arrest).",
    empty,
    drugsHeading,
    usuallyNoDrugs);

constexpr auto vtMonomorphic = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "The ventricular rate is 130 to 250/min and regular.",
    "The QRS is 120 ms or more and all of one shape (monomorphic).",
    "Sinus P waves come independently of the QRS (AV dissociation).",
    empty,
    waveformHeading,
    "Mostly re-entry within the ventricles (around an infarct scar, for example).",
    "AV dissociation, fusion beats or capture beats confirm VT.",
    "There may or may not be a pulse.",
    empty,
    actionHeading,
    pulseFirst,
    "Pulseless: defibrillate at once. With a pulse but unstable: synchronised cardioversion.",
    "If stable, record a 12-lead ECG and decide on an antiarrhythmic with a specialist.",
    empty,
    drugsHeading,
    "Amiodarone, procainamide, nifekalant, lidocaine");

constexpr auto torsades = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "A wide-QRS tachycardia at 200 to 250/min.",
    "The QRS amplitude waxes and wanes over 5 to 15 beats as its direction twists.",
    empty,
    waveformHeading,
    "It arises from a long QT (congenital, drugs, low potassium, low magnesium, bradycardia).",
    "A polymorphic VT that may stop by itself or turn into VF.",
    empty,
    actionHeading,
    "Without a pulse, defibrillate at once and continue CPR.",
    "Give magnesium sulfate 2 g IV.",
    "Stop drugs that prolong the QT and correct potassium.",
    "If bradycardia triggers it, raise the rate with isoprenaline or pacing.",
    empty,
    drugsHeading,
    "Magnesium sulfate, potassium chloride, isoprenaline");

constexpr auto ventricularFlutter = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "A regular, large sine wave at 250 to 350/min.",
    "QRS and T waves cannot be told apart and there is no isoelectric baseline.",
    empty,
    waveformHeading,
    "Extremely fast ventricular activity with no effective output: treat it as cardiac arrest.",
    "It soon turns into VF.",
    empty,
    actionHeading,
    defibrillate,
    rhythmCheck,
    noThump,
    empty,
    drugsHeading,
    arrestAdrenaline,
    arrestAntiarrhythmics);

constexpr auto vfCoarse = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "There is no QRS, only chaotic waves at 150 to 500/min.",
    "The waves measure 3 mm or more from peak to trough (coarse VF).",
    empty,
    waveformHeading,
    concat("Each part of the ventricles fires on its own; ", quiverNoOutput),
    "In time the waves become finer and turn into asystole.",
    empty,
    actionHeading,
    defibrillate,
    rhythmCheck,
    noThump,
    empty,
    drugsHeading,
    arrestAdrenaline,
    arrestAntiarrhythmics);

constexpr auto vfFine = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "There is no QRS, only chaotic waves at 150 to 500/min.",
    "The waves measure under 3 mm (fine VF).",
    empty,
    waveformHeading,
    "VF has gone on long and the heart muscle is running out of energy.",
    "It looks like asystole, so check the lead, the gain and the electrodes.",
    empty,
    actionHeading,
    "If fibrillation waves are clearly visible, defibrillate at once.",
    "If too fine to tell from asystole, do not shock; continue chest compressions.",
    rhythmCheck,
    empty,
    drugsHeading,
    arrestAdrenaline,
    arrestAntiarrhythmics);

constexpr auto asystole = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "A flat line with no P waves and no QRS complexes.",
    empty,
    waveformHeading,
    "All electrical activity of the heart has stopped; the outlook is the worst of all.",
    checkLeads,
    empty,
    actionHeading,
    cprAndAdrenaline,
    noDefibrillation,
    reversibleCauses,
    reversibleCausesCont,
    empty,
    drugsHeading,
    asystoleAdrenaline);

constexpr auto pWaveAsystole = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "Only P waves at 30 to 60/min, with no QRS (ventricular standstill).",
    empty,
    waveformHeading,
    "The atria are excited, but nothing reaches the ventricles and no escape rhythm appears.",
    "It happens in complete heart block when no escape rhythm takes over.",
    empty,
    actionHeading,
    cprAndAdrenaline,
    noDefibrillation,
    "In asystole with P waves, pacing may work.",
    empty,
    drugsHeading,
    asystoleAdrenaline);

constexpr auto pea = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "Regular QRS complexes at 40 to 100/min.",
    "An orderly ECG, yet no pulse can be felt and the pulse wave is flat.",
    empty,
    waveformHeading,
    "Electrical activity without a useful output (pulseless electrical activity).",
    "The ECG alone does not show it: only a pulse check or the pulse wave does.",
    empty,
    actionHeading,
    cprAndAdrenaline,
    noDefibrillation,
    reversibleCauses,
    reversibleCausesCont,
    empty,
    drugsHeading,
    asystoleAdrenaline);

constexpr auto vtPulseless = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "The ventricular rate is 150 to 250/min and regular.",
    "The QRS is 120 ms or more, all of one shape. There is no pulse.",
    empty,
    waveformHeading,
    "Ventricular tachycardia that has lost the cardiac output: cardiac arrest.",
    "The pulse wave is flat and no SpO2 is shown.",
    empty,
    actionHeading,
    defibrillate,
    rhythmCheck,
    noThump,
    empty,
    drugsHeading,
    arrestAdrenaline,
    arrestAntiarrhythmics);

constexpr auto pacedAtrial = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    "A narrow spike (20 ms or less) is followed at once by a P wave.",
    "The P wave is conducted through the AV node and the QRS is narrow.",
    "The pacing rate is 60 to 80/min; spike to QRS is 160 to 240 ms.",
    empty,
    waveformHeading,
    "A pacemaker that stimulates the atria through an atrial lead (AAI and others).",
    "Used for sick sinus syndrome with intact AV conduction.",
    empty,
    actionHeading,
    pacingWorks,
    pacemakerCard,
    empty,
    drugsHeading,
    noDrugs);

constexpr auto pacedVentricular = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    "Each spike is followed at once by a wide QRS (120 ms or more) with an opposite T wave.",
    pacingRate,
    "There are no P waves.",
    empty,
    waveformHeading,
    "Pacing from the right ventricle gives a wide QRS like left bundle branch block.",
    "Used for slow atrial fibrillation and AV block (VVI and others).",
    empty,
    actionHeading,
    pacingWorks,
    pacemakerCard,
    empty,
    drugsHeading,
    noDrugs);

constexpr auto pacedAv = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    "Atrial spike, P wave, ventricular spike and wide QRS follow in that order.",
    "The AV delay (spike to spike) is 120 to 200 ms.",
    pacingRate,
    empty,
    waveformHeading,
    "Atrial and ventricular leads pace in turn (DDD and others), keeping the AV sequence.",
    "Used for AV block and sick sinus syndrome.",
    empty,
    actionHeading,
    pacingWorks,
    pacemakerCard,
    empty,
    drugsHeading,
    noDrugs);

constexpr auto pacedFailureToCapture = joinLines(
    dangerHigh,
    empty,
    pointsHeading,
    "In ventricular pacing (60 to 80/min), some spikes are not followed by a QRS.",
    "About 1 spike in 3 stands alone.",
    empty,
    waveformHeading,
    "The pacing stimulus fails to excite the heart muscle (failure to capture).",
    "Causes: a displaced or broken lead, a raised threshold (ischaemia, high potassium, drugs), "
    "a flat battery.",
    empty,
    actionHeading,
    "Check the pulse and symptoms; if the patient depends on the pacemaker, prepare "
    "transcutaneous pacing.",
    deviceCheck,
    "Check for electrolyte disorders (high potassium above all).",
    empty,
    drugsHeading,
    "Atropine or adrenaline for symptomatic bradycardia");

constexpr auto pacedFailureToSense = joinLines(
    dangerModerate,
    empty,
    pointsHeading,
    "Despite the patient's own sinus rhythm (70 to 95/min), spikes keep coming at a fixed 60 "
    "to 70/min.",
    "Spikes fall on the QRS or T wave (no capture), or capture when the ventricles can "
    "respond.",
    empty,
    waveformHeading,
    "The pacemaker fails to sense the patient's own beats (undersensing).",
    "A spike on the T wave (the vulnerable period) may trigger VT or VF.",
    empty,
    actionHeading,
    monitorAndPrepare,
    deviceCheck,
    empty,
    drugsHeading,
    noDrugs);

constexpr auto bbb = joinLines(
    dangerLow,
    empty,
    pointsHeading,
    "The underlying rhythm is sinus at 60 to 100/min with a PR of 120 to 200 ms.",
    "The QRS widens to 120 to 160 ms and is notched (rsR' pattern).",
    "The T wave points opposite to the main QRS direction.",
    empty,
    waveformHeading,
    "Conduction in the right or left bundle branch fails and part of the ventricles is "
    "excited late.",
    "Whether right or left is decided from the QRS shape in V1 and V6 of a 12-lead ECG.",
    "A P wave before every QRS with a constant PR sets it apart from VT.",
    empty,
    actionHeading,
    "The bundle branch block itself needs no treatment.",
    "A new left bundle branch block with chest pain is assessed as acute coronary syndrome.",
    "With syncope, look for more advanced conduction disease.",
    empty,
    drugsHeading,
    noDrugs);
// clang-format on

} // namespace

const LibraryEntries libraryEnglishNames{
    "Normal sinus rhythm",
    "Sinus bradycardia",
    "Sinus tachycardia",
    "Sinus arrhythmia",
    "Sinus arrest",
    "Second-degree sinoatrial block",
    "Premature atrial contraction (PAC)",
    "Atrial tachycardia",
    "Multifocal atrial tachycardia (MAT)",
    "Atrial fibrillation with controlled rate",
    "Atrial fibrillation with rapid response",
    "Atrial flutter with 2:1 conduction",
    "Atrial flutter with 4:1 conduction",
    "Atrial flutter with variable conduction",
    "Premature junctional contraction (PJC)",
    "Junctional escape rhythm",
    "Accelerated junctional rhythm",
    "AV nodal re-entrant tachycardia (AVNRT)",
    "Wolff-Parkinson-White syndrome (WPW)",
    "First-degree heart block",
    "Second-degree heart block, Mobitz I (Wenckebach)",
    "Second-degree heart block, Mobitz II",
    "Second-degree heart block, 2:1 conduction",
    "Complete heart block, narrow QRS escape",
    "Complete heart block, wide QRS escape",
    "Unifocal PVCs",
    "Multifocal PVCs",
    "Ventricular bigeminy",
    "Ventricular trigeminy",
    "PVC couplets",
    "R-on-T PVCs",
    "Non-sustained ventricular tachycardia (NSVT)",
    "Idioventricular rhythm",
    "Accelerated idioventricular rhythm (AIVR)",
    "Monomorphic ventricular tachycardia",
    "Torsades de pointes",
    "Coarse ventricular fibrillation",
    "Fine ventricular fibrillation",
    "Asystole",
    "Atrial paced rhythm",
    "Ventricular paced rhythm",
    "AV sequential paced rhythm",
    "Pacemaker failure to capture",
    "Pacemaker failure to sense",
    "Bundle branch block",
    "Junctional tachycardia",
    "Atrial flutter with 3:1 conduction",
    "Ventricular flutter",
    "P-wave asystole",
    "Pulseless electrical activity (PEA)",
    "Pulseless ventricular tachycardia",
};

const LibraryEntries libraryEnglishTexts{
    sinusRhythm.view(),
    sinusBradycardia.view(),
    sinusTachycardia.view(),
    sinusArrhythmia.view(),
    sinusArrest.view(),
    saBlock.view(),
    pac.view(),
    atrialTachycardia.view(),
    mat.view(),
    afControlled.view(),
    afRapid.view(),
    flutter2to1.view(),
    flutter4to1.view(),
    flutterVariable.view(),
    pjc.view(),
    junctionalEscape.view(),
    acceleratedJunctional.view(),
    svtAvnrt.view(),
    wpw.view(),
    avBlock1.view(),
    mobitz1.view(),
    mobitz2.view(),
    avBlock2to1.view(),
    chbNarrow.view(),
    chbWide.view(),
    pvcUnifocal.view(),
    pvcMultifocal.view(),
    ventricularBigeminy.view(),
    ventricularTrigeminy.view(),
    pvcCouplets.view(),
    pvcROnT.view(),
    nsvt.view(),
    idioventricular.view(),
    aivr.view(),
    vtMonomorphic.view(),
    torsades.view(),
    vfCoarse.view(),
    vfFine.view(),
    asystole.view(),
    pacedAtrial.view(),
    pacedVentricular.view(),
    pacedAv.view(),
    pacedFailureToCapture.view(),
    pacedFailureToSense.view(),
    bbb.view(),
    junctionalTachycardia.view(),
    flutter3to1.view(),
    ventricularFlutter.view(),
    pWaveAsystole.view(),
    pea.view(),
    vtPulseless.view(),
};

} // namespace pulsavo::catalogue
