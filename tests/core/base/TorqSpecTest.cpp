#include "base/ErrCode.h"
#include "base/TorqSpec.h"

#include "ReaderChecks.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

CFloatPtSpec MakeBore()
{
    return CFloatPtSpec("Bore", UnitCode::Inch, 2.8f, 7.0f, UnitCode::Millimetre, kInchesToMillimetres);
}

CFloatPtSpec MakeNitrous()
{
    return CFloatPtSpec("Nitrous Flow Rate", UnitCode::PoundsPerMinute, 0.0f, 20.0f,
                        UnitCode::PoundsPerMinute, 1.0f);
}

// The error code a reader raises for the given text, or 0 when it reads cleanly.
template <typename Spec>
int ReadCode(Spec& spec, const std::string& text)
{
    return RaisedCode(text, [&](std::FILE* file) { spec.Read(file); });
}

template <typename Spec>
std::string Written(const Spec& spec)
{
    CapturedStream stream;
    spec.Write(stream.File());
    return stream.Text();
}

}  // namespace

TEST(FloatParameter, ABoreTypedInMillimetresIsFourInchesInEnglishUnits)
{
    CFloatPtSpec bore = MakeBore();
    bore.ToMetric();
    ASSERT_TRUE(bore.SetFromText("101.6", false));
    EXPECT_EQ(bore.GetTextWithUnits(), "101.60 mm");
    bore.ToEnglish();
    EXPECT_EQ(bore.GetTextWithUnits(), "4.000 in");
}

TEST(FloatParameter, RangeAllowsOneHundredThousandthOfSlackAtEachEnd)
{
    CFloatPtSpec bore = MakeBore();
    EXPECT_TRUE(bore.SetFromText("7.000005", true));
    EXPECT_FALSE(bore.SetFromText("7.00002", true));
    EXPECT_TRUE(bore.SetFromText("2.799995", true));
    EXPECT_FALSE(bore.SetFromText("2.79998", true));
    EXPECT_FALSE(bore.IsSet()) << "check-only never stores";
}

TEST(FloatParameter, TypedTextIsTakenOnlyWhenTheWholeTextIsOneDecimalNumber)
{
    CFloatPtSpec nitrous = MakeNitrous();
    for (const char* number :
         {"0", "0.0", "-0", " 7 ", "7.", ".5", "+2", "1e1", "1.5E+1", "2.5e-1", "\t3\r\n"}) {
        EXPECT_TRUE(nitrous.SetFromText(number, true)) << number;
    }
    ASSERT_TRUE(nitrous.SetFromText(" 12.5 ", false));
    EXPECT_EQ(nitrous.GetValue(), 12.5f);

    // Text that a C conversion would cut short or read in another base is a
    // silently wrong engine: every one of these is refused whole.
    for (const char* text :
         {"",  " ",   "abc",   "7abc", "1,5", "9,5", "0x5", "0x1p3",     "1e",    "1e+",   ".",
          "-", "+-1", "1.2.3", "1 2",  "- 1", "NaN", "inf", "-infinity", "1e300", "-1e300"}) {
        EXPECT_FALSE(nitrous.SetFromText(text, true)) << '"' << text << '"';
    }
    EXPECT_EQ(nitrous.GetValue(), 12.5f) << "a refused text changes nothing";
}

TEST(FloatParameter, VeryLongTextsAreRefusedOrReadWithoutHarm)
{
    CFloatPtSpec nitrous = MakeNitrous();
    EXPECT_TRUE(nitrous.SetFromText(std::string(10000, '0'), true));
    EXPECT_TRUE(nitrous.SetFromText("0." + std::string(10000, '0') + "1", true));
    EXPECT_FALSE(nitrous.SetFromText(std::string(10000, '9'), true)) << "beyond every float";
    EXPECT_FALSE(nitrous.SetFromText(std::string(10000, 'x'), true));
    EXPECT_FALSE(nitrous.SetFromText("5" + std::string(10000, 'x'), true));
}

TEST(FloatParameter, RoundedEntryRoundsHalfAwayFromZeroBeforeTheRangeCheck)
{
    CFloatPtSpec chamber("Cylinder Head Chamber Volume", UnitCode::CubicCentimetre, 0.1f, 500.0f,
                         UnitCode::CubicCentimetre, 1.0f);
    ASSERT_TRUE(chamber.SetFromTextRounded("64.125", 2));
    EXPECT_EQ(chamber.GetText(), "64.13");
    EXPECT_TRUE(chamber.SetFromTextRounded("500.004", 2));
    EXPECT_FALSE(chamber.SetFromTextRounded("500.006", 2));
    EXPECT_FALSE(chamber.SetFromTextRounded("1e30", 2));
}

TEST(FloatParameter, PromptStatesTheRangeInTheCurrentUnit)
{
    CFloatPtSpec bore = MakeBore();
    EXPECT_EQ(bore.GetPrompt(), "Enter Bore Value Within Range: 2.800 to 7.000 in");
    bore.ToMetric();
    EXPECT_EQ(bore.GetPrompt(), "Enter Bore Value Within Range: 71.12 to 177.80 mm");
}

TEST(FloatParameter, UnsetShowsThreeAsterisksWithItsUnitLabel)
{
    CFloatPtSpec bore = MakeBore();
    EXPECT_EQ(bore.GetText(), "***");
    EXPECT_EQ(bore.GetTextWithUnits(), "*** in");
    EXPECT_FALSE(bore.IsValid());
}

TEST(FloatParameter, EveryUnitShowsItsOwnFormatAndLabel)
{
    struct Case {
        UnitCode unit;
        float value;
        const char* expected;
    };
    const Case cases[] = {
        {UnitCode::Plain, 1.005f, "1.00  "},
        {UnitCode::Ratio, 10.5f, "10.50  "},
        {UnitCode::Percent, 78.0f, "78.0 %"},
        {UnitCode::Inch, 4.0f, "4.000 in"},
        {UnitCode::Millimetre, 101.6f, "101.60 mm"},
        {UnitCode::CubicInch, 349.8f, "349.8 ci"},
        {UnitCode::CubicCentimetre, 716.62f, "716.62 cc"},
        {UnitCode::Degree, 12.0f, "12.0 Deg"},
        {UnitCode::Rpm, 90000.0f, "90000 rpm"},
        {UnitCode::InchMercury, 1.5f, "1.50 inHg"},
        {UnitCode::InchWater, 25.0f, "25.0 inH2O"},
        {UnitCode::CentimetreMercury, 3.81f, "3.810 cmHg"},
        {UnitCode::CentimetreWater, 63.5f, "63.50 cmH2O"},
        {UnitCode::Psi, 10.0f, "10.0 psi"},
        {UnitCode::Cfm, 750.0f, "750.0 cfm"},
        {UnitCode::PoundsPerMinute, 4.0f, "4.0 lbs/min"},
    };
    for (const Case& c : cases) {
        CFloatPtSpec spec("Value", c.unit, 0.0f, 100000.0f, c.unit, 1.0f);
        spec.SetValue(c.value);
        EXPECT_EQ(spec.GetTextWithUnits(), c.expected);
    }
}

TEST(FloatParameter, UnitRoundTripKeepsAValueOnItsBoundInRange)
{
    CFloatPtSpec volume("Total Block Volume", UnitCode::CubicInch, 1.0f, 5000.0f, UnitCode::CubicCentimetre,
                        kCubicInchesToCubicCentimetres);
    volume.SetValue(5000.0f);
    for (int i = 0; i < 10; ++i) {
        volume.ToMetric();
        volume.ToEnglish();
        ASSERT_TRUE(volume.IsValid());
        ASSERT_LE(volume.GetValue(), 5000.0f);
    }
    EXPECT_NEAR(volume.GetValue(), 5000.0f, 0.001f);
}

TEST(FloatParameter, AValueInTheRangeSlackStaysInRangeThroughEveryUnitSwitch)
{
    // 7.000005 in is inside the bore's slack; times 25.4 it would be
    // 177.80013 mm, outside the metric slack of 177.8.
    for (const char* text : {"7.000005", "2.799995"}) {
        CFloatPtSpec bore = MakeBore();
        ASSERT_TRUE(bore.SetFromText(text, false));
        bore.ToMetric();
        EXPECT_TRUE(bore.IsValid()) << text << " in shows as " << bore.GetText() << " mm";
        bore.CheckInvariants();
        bore.ToEnglish();
        EXPECT_TRUE(bore.IsValid()) << text;
        EXPECT_NEAR(bore.GetValue(), std::stof(text), 0.00001f);
    }
}

TEST(FloatParameter, SettingAValueInEnglishLeavesTheParameterInEnglish)
{
    CFloatPtSpec bore = MakeBore();
    bore.ToMetric();
    bore.SetValueIn(4.0f, true);
    EXPECT_TRUE(bore.IsEnglish());
    EXPECT_EQ(bore.GetValue(), 4.0f);
}

TEST(FloatParameter, NarrowedRangeResetsAValueOutsideIt)
{
    CFloatPtSpec ivo("Nominal Intake Valve Opening", UnitCode::Degree, 0.0f, 80.0f, UnitCode::Degree, 1.0f);
    ivo.SetValue(52.0f);
    ivo.SetRange(-25.0f, 50.0f);
    EXPECT_FALSE(ivo.IsSet());
    EXPECT_EQ(ivo.GetValue(), -25.0f);

    ivo.SetValue(12.0f);
    ivo.SetRange(0.0f, 80.0f);
    EXPECT_TRUE(ivo.IsSet()) << "a value still inside the new range stays";
    EXPECT_EQ(ivo.GetValue(), 12.0f);
}

TEST(FloatParameter, CopyIsSetOnlyWhenTheSourceIsValidWhileAssignmentCopiesTheFlag)
{
    CFloatPtSpec bore = MakeBore();
    bore.SetValue(4.0f);
    const CFloatPtSpec copied(bore);
    EXPECT_TRUE(copied.IsSet());

    bore.MarkUnset();
    const CFloatPtSpec copiedUnset(bore);
    EXPECT_FALSE(copiedUnset.IsSet());
    EXPECT_EQ(copiedUnset.GetValue(), 4.0f);

    CFloatPtSpec assigned = MakeBore();
    assigned.ToMetric();
    assigned = copied;
    EXPECT_TRUE(assigned.IsEnglish());
    EXPECT_TRUE(assigned.IsSet());
}

TEST(FloatParameterFile, WritesFlagAndValueWithSixDecimals)
{
    CFloatPtSpec bore = MakeBore();
    bore.SetValue(4.0f);
    EXPECT_EQ(Written(bore), "1 4.000000\n");
    bore.MarkUnset();
    EXPECT_EQ(Written(bore), "0 4.000000\n");
}

TEST(FloatParameterFile, AnUnsetValueReadsBackUnsetWithItsValue)
{
    CFloatPtSpec bore = MakeBore();
    EXPECT_EQ(ReadCode(bore, "0 3.500000\n"), Msg::None);
    EXPECT_FALSE(bore.IsSet());
    EXPECT_EQ(bore.GetValue(), 3.5f);
    EXPECT_EQ(ReadCode(bore, "1 4.250000\r\n"), Msg::None);
    EXPECT_TRUE(bore.IsValid());
    EXPECT_EQ(bore.GetValue(), 4.25f);
}

TEST(FloatParameterFile, BadLinesRaiseReadOrInvalidValueErrors)
{
    CFloatPtSpec bore = MakeBore();
    bore.SetValue(4.0f);
    EXPECT_EQ(ReadCode(bore, ""), Msg::FileRead);
    EXPECT_EQ(ReadCode(bore, "\n"), Msg::FileRead);
    EXPECT_EQ(ReadCode(bore, "1"), Msg::FileRead);
    EXPECT_EQ(ReadCode(bore, "1 abc\n"), Msg::FileRead);
    EXPECT_EQ(ReadCode(bore, "garbage\n"), Msg::FileRead);
    EXPECT_EQ(ReadCode(bore, "1 9.0\n"), Msg::FileInvalidValue);
    EXPECT_EQ(ReadCode(bore, "0 1.0\n"), Msg::FileInvalidValue) << "an unset value is range-checked too";
    EXPECT_EQ(ReadCode(bore, "1 nan\n"), Msg::FileInvalidValue);
    EXPECT_EQ(ReadCode(bore, "1 inf\n"), Msg::FileInvalidValue);
    EXPECT_EQ(bore.GetValue(), 4.0f) << "a refused line leaves the parameter as it was";
    EXPECT_TRUE(bore.IsSet());
}

TEST(ParameterFile, ANumberThatTheEndOfTheFileCutsOffIsADamagedLine)
{
    // The program ends every line with a line end: "1 10" at the very end of
    // a file may be what is left of "1 10.5" or "1 105".
    CFloatPtSpec bore = MakeBore();
    EXPECT_EQ(ReadCode(bore, "1 4.5"), Msg::FileRead);
    EXPECT_FALSE(bore.IsSet()) << "nothing of the cut line is taken";
    EXPECT_EQ(ReadCode(bore, "1 4.5\n"), Msg::None);
    EXPECT_EQ(ReadCode(bore, "1 4.5\r\n"), Msg::None);
    EXPECT_EQ(ReadCode(bore, "1 4.5 "), Msg::None) << "a blank already ends the number";

    CIntegerSpec cylinders("Number of Cylinders", 1, 12);
    EXPECT_EQ(ReadCode(cylinders, "8"), Msg::FileRead);
    EXPECT_EQ(ReadCode(cylinders, "8\n"), Msg::None);

    CPartTypeSpec exhaust("Exhaust System", 1, 7);
    EXPECT_EQ(ReadCode(exhaust, "Headers\n3"), Msg::FileRead);
    EXPECT_EQ(ReadCode(exhaust, "Headers\n3\n"), Msg::None);
}

TEST(IntegerParameter, TypedTextIsReadAsAWholeNumberWithinRange)
{
    CIntegerSpec cylinders("Number of Cylinders", 1, 12);
    EXPECT_EQ(cylinders.GetText(), "***");
    EXPECT_FALSE(cylinders.SetFromText("", false));
    EXPECT_FALSE(cylinders.SetFromText("abc", false));
    EXPECT_FALSE(cylinders.SetFromText("13", false));
    EXPECT_FALSE(cylinders.SetFromText("99999999999999999999", false));
    EXPECT_FALSE(cylinders.SetFromText("4294967304", false)) << "no wrap-around to 8";
    for (const char* text : {"8.7", "8.0", "8abc", "0x8", "8e0", "8 cyl", "1,2"}) {
        EXPECT_FALSE(cylinders.SetFromText(text, false)) << text << " is no whole number of cylinders";
    }
    EXPECT_FALSE(cylinders.IsSet());
    ASSERT_TRUE(cylinders.SetFromText(" 8 ", false));
    EXPECT_EQ(cylinders.GetValue(), 8);
    EXPECT_EQ(cylinders.GetPrompt(), "Enter Number of Cylinders Value Within Range: 1 to 12");
}

TEST(IntegerParameter, FileLineIsTheValueAndReadingSetsIt)
{
    CIntegerSpec cylinders("Number of Cylinders", 1, 12);
    EXPECT_EQ(Written(cylinders), "1\n") << "unset integers write their value";
    EXPECT_EQ(ReadCode(cylinders, "8\n"), Msg::None);
    EXPECT_TRUE(cylinders.IsValid());
    EXPECT_EQ(ReadCode(cylinders, "x\n"), Msg::FileRead);
    EXPECT_EQ(ReadCode(cylinders, "0\n"), Msg::FileInvalidValue);
    EXPECT_EQ(cylinders.GetValue(), 8);
}

TEST(PartTypeParameter, ATypedNameIsTheCustomEntryAtTheListsMaximumIndex)
{
    CPartTypeSpec head("Cylinder Head Type", 1, 17);
    EXPECT_EQ(head.GetText(), "***");
    EXPECT_EQ(head.GetPrompt(), "Select or Enter Cylinder Head Type");
    EXPECT_FALSE(head.SetFromText("", false));
    ASSERT_TRUE(head.SetFromText("My Ported Heads", false));
    EXPECT_EQ(head.GetIndex(), 17);
    EXPECT_EQ(head.GetText(), "My Ported Heads");
    EXPECT_FALSE(head.SetChoice(18, "Too far"));
    EXPECT_FALSE(head.SetChoice(3, ""));
    EXPECT_EQ(head.GetIndex(), 17);
}

TEST(PartTypeParameterFile, NameLineThenIndexLine)
{
    CPartTypeSpec block("Short Block Type", 1, 205);
    block.SetChoice(36, "Chevy 350");
    EXPECT_EQ(Written(block), "Chevy 350\n36\n");

    CPartTypeSpec read("Short Block Type", 1, 205);
    EXPECT_EQ(ReadCode(read, "Chevy 350  \r\n36\r\n"), Msg::None);
    EXPECT_EQ(read.GetChoiceName(), "Chevy 350");
    EXPECT_EQ(read.GetIndex(), 36);
}

TEST(PartTypeParameterFile, BadLinesRaiseReadOrInvalidValueErrors)
{
    CPartTypeSpec block("Short Block Type", 1, 205);
    EXPECT_EQ(ReadCode(block, ""), Msg::FileRead);
    EXPECT_EQ(ReadCode(block, "Chevy 350\n"), Msg::FileRead);
    EXPECT_EQ(ReadCode(block, "Chevy 350\nabc\n"), Msg::FileRead);
    EXPECT_EQ(ReadCode(block, "Chevy 350\n206\n"), Msg::FileInvalidValue);
    EXPECT_EQ(ReadCode(block, "   \n36\n"), Msg::FileInvalidValue);
    EXPECT_FALSE(block.IsSet());
}

TEST(PartTypeParameterFile, ANameTooLongForALineIsCutSoTheFileStaysReadable)
{
    CPartTypeSpec cam("Camshaft Type", 1, 6);
    const std::string longName(120, 'C');
    cam.SetChoice(6, longName);
    const std::string text = Written(cam);
    EXPECT_EQ(text, std::string(78, 'C') + "\n6\n");

    CPartTypeSpec read("Camshaft Type", 1, 6);
    EXPECT_EQ(ReadCode(read, text), Msg::None);
    EXPECT_EQ(read.GetChoiceName(), std::string(78, 'C'));

    // A file from elsewhere with an over-long name line still reads in step.
    EXPECT_EQ(ReadCode(read, std::string(300, 'D') + "\n5\n"), Msg::None);
    EXPECT_EQ(read.GetIndex(), 5);
    EXPECT_EQ(read.GetChoiceName(), std::string(79, 'D'));
}

TEST(FileParameter, UnsetWritesZeroAndThreeAsterisksAndReadsBackUnset)
{
    CFileSpec cam("Cam Data File");
    EXPECT_EQ(cam.GetPrompt(), "Open or Save Cam Data File");
    EXPECT_EQ(Written(cam), "0\n***\n");
    EXPECT_EQ(ReadCode(cam, "0\n***\n"), Msg::None);
    EXPECT_FALSE(cam.IsValid());

    ASSERT_TRUE(cam.SetFromText("hotcam.cam", false));
    EXPECT_EQ(Written(cam), "1\nhotcam.cam\n");
    CFileSpec read("Cam Data File");
    EXPECT_EQ(ReadCode(read, "1\r\nhotcam.cam \r\n"), Msg::None);
    EXPECT_EQ(read.GetText(), "hotcam.cam");
    EXPECT_EQ(ReadCode(read, "1\n"), Msg::FileRead);
}

TEST(FloatParameterFile, LinesKeepTheirDecimalPointUnderADecimalCommaLocale)
{
    if (setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    CFloatPtSpec bore = MakeBore();
    EXPECT_TRUE(bore.SetFromText("4.25", false));
    EXPECT_EQ(bore.GetTextWithUnits(), "4.250 in");
    EXPECT_EQ(Written(bore), "1 4.250000\n");
    EXPECT_EQ(ReadCode(bore, "1 3.750000\n"), Msg::None);
    EXPECT_EQ(bore.GetValue(), 3.75f);
    EXPECT_EQ(bore.GetPrompt(), "Enter Bore Value Within Range: 2.800 to 7.000 in");
    setlocale(LC_ALL, "C");
}

TEST(FileParameter, ANameLineOfNulBytesAndBlanksNamesNoFile)
{
    CFileSpec cam("Cam Data File");
    EXPECT_EQ(ReadCode(cam, std::string("1\n\0\0\0 \t\n", 9)), Msg::None);
    EXPECT_FALSE(cam.IsSet());
    EXPECT_EQ(Written(cam), "0\n***\n");
}

TEST(PartTypeParameterFile, NulBytesAndControlCharactersInANameLineNeitherStayNorMisplaceTheNextLine)
{
    CPartTypeSpec block("Short Block Type", 1, 205);
    EXPECT_EQ(ReadCode(block, std::string("Chevy\0 350\n36\n", 15)), Msg::None);
    EXPECT_EQ(block.GetChoiceName(), "Chevy 350");
    EXPECT_EQ(block.GetIndex(), 36);
    EXPECT_EQ(ReadCode(block,
                       "\x01"
                       "Chevy\t350\v\r\n36\n"),
              0);
    EXPECT_EQ(block.GetChoiceName(), "Chevy 350");
    EXPECT_EQ(ReadCode(block, "\t\v\f\r\n36\n"), Msg::FileInvalidValue)
        << "a name of control characters is no name";

    block.SetChoice(36,
                    "\tChevy\x7F"
                    "350 ");
    EXPECT_EQ(Written(block), "Chevy 350\n36\n");
}

TEST(PartTypeParameterFile, ANameCutAtABlankReadsBackAsWritten)
{
    CPartTypeSpec cam("Camshaft Type", 1, 6);
    cam.SetChoice(6, std::string(77, 'C') + " tail");
    const std::string text = Written(cam);
    EXPECT_EQ(text, std::string(77, 'C') + "\n6\n");
    CPartTypeSpec read("Camshaft Type", 1, 6);
    EXPECT_EQ(ReadCode(read, text), Msg::None);
    EXPECT_EQ(Written(read), text);
}

TEST(ParameterDeathTest, StoringAValueOutsideTheRangeEndsTheProgramWithTheAssertionStatus)
{
    CFloatPtSpec bore = MakeBore();
    EXPECT_EXIT(bore.SetValue(9.0f), testing::ExitedWithCode(9999 & 0xFF), "ASSERTION FAILURE");
}
