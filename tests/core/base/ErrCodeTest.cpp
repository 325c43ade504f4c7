#include "base/ErrCode.h"
#include "base/Util.h"

#include "RecordingPresenter.h"

#include <gtest/gtest.h>

TEST(ErrorTable, HoldsEveryCodeOfTheThreeRangesAndNoOther)
{
    for (int code = 1; code <= 99; ++code) EXPECT_TRUE(IsKnownErrorCode(code)) << code;
    for (int code = 101; code <= 105; ++code) EXPECT_TRUE(IsKnownErrorCode(code)) << code;
    for (int code = 200; code <= 204; ++code) EXPECT_TRUE(IsKnownErrorCode(code)) << code;
    for (int code : {0, 100, 106, 199, 205}) EXPECT_FALSE(IsKnownErrorCode(code)) << code;
}

TEST(ErrorTable, NotesAndWarningsCarryTheirFixedTitles)
{
    for (int code = 101; code <= 105; ++code) EXPECT_EQ(GetErrorMessage(code).title, "Important!");
    for (int code = 200; code <= 204; ++code) EXPECT_EQ(GetErrorMessage(code).title, "Warning!");
}

TEST(ErrorTable, TextsStandAsWritten)
{
    EXPECT_EQ(GetErrorMessage(1).title, "Incomplete Engine");
    EXPECT_EQ(GetErrorMessage(1).text, "Bore/Stroke Selection Required");
    EXPECT_EQ(GetErrorMessage(42).title, "Simulation Run Time Error");
    EXPECT_EQ(GetErrorMessage(42).text.substr(0, 54),
              "The Torqwell was unable to complete the simulation.\nA ");
    EXPECT_EQ(GetErrorMessage(45).text, "Unable to Read from the Selected File");
    EXPECT_EQ(GetErrorMessage(66).text.substr(0, 57),
              "Unable to create the new Best Results Torqwell Document.\n");
    EXPECT_NE(GetErrorMessage(103).text.find("\"Auto Calculate Valve Size\""), std::string::npos);
}

TEST(ErrorTable, OutOfRangeMessagesQuoteTheParameterRanges)
{
    EXPECT_TRUE(GetErrorMessage(89).text.ends_with("\nmust be within the range of 6.00 to 18.00 ."));
    EXPECT_TRUE(GetErrorMessage(99).text.ends_with("\nmust be within the range of 100.00 to 4000.00 cfm."));
}

TEST(Messages, GoToTheInstalledPresenterWithTheirKind)
{
    RecordingPresenter presenter;
    ShowErrorMessage(Msg::CamshaftRequired);
    ShowNoteMessage(Msg::FourValveHeads);
    presenter.AnswerNextWarning(WarningAnswer::Ok);
    EXPECT_EQ(AskWarningMessage(Msg::CompressionRatioAgainstCalculator), WarningAnswer::Ok);
    EXPECT_EQ(AskWarningMessage(Msg::SaveWithoutResults), WarningAnswer::Cancel)
        << "closing the box is Cancel";

    ASSERT_EQ(presenter.Messages().size(), 4u);
    EXPECT_EQ(presenter.Messages()[0].kind, MessageKind::Error);
    EXPECT_EQ(presenter.Messages()[0].message.text, "Camshaft Selection Required");
    EXPECT_EQ(presenter.Messages()[1].kind, MessageKind::Note);
    EXPECT_EQ(presenter.Messages()[2].kind, MessageKind::Warning);
    EXPECT_EQ(presenter.Codes(), (std::vector<int>{27, 104, 202, 204}));
}

TEST(AssertionReport, NamesTheSourceFileAndLine)
{
    EXPECT_EQ(FormatAssertionReport("/src/core/sim/SimInterface.cpp", 42),
              "File: SimInterface.cpp \nLine#: 42 \n\n"
              "Write down all of this error information and a short\n"
              "description of the events that lead up to this error and\n"
              "send it to Parvane Software. Sorry for the inconvenience.\n"
              "Press OK to terminate the Torqwell.");
}

TEST(AssertionReportDeathTest, EndsTheProcessWithStatus9999)
{
    EXPECT_EXIT(ReportAssertion("Iterator.cpp", 7), testing::ExitedWithCode(9999 & 0xFF), "Line#: 7");
    EXPECT_EXIT(ShowErrorMessage(150), testing::ExitedWithCode(9999 & 0xFF), "ASSERTION FAILURE");
    EXPECT_EXIT(AskWarningMessage(Msg::SimulationFailed), testing::ExitedWithCode(9999 & 0xFF),
                "ASSERTION FAILURE");
}

TEST(Util, RoundsHalfAwayFromZero)
{
    EXPECT_FLOAT_EQ(RoundToDecimals(0.125f, 2), 0.13f);
    EXPECT_FLOAT_EQ(RoundToDecimals(-0.125f, 2), -0.13f);
    EXPECT_FLOAT_EQ(RoundToDecimals(716.6249f, 2), 716.62f);
    EXPECT_FLOAT_EQ(RoundToDecimals(604.95f, 0), 605.0f);
    EXPECT_EQ(RoundToDecimals(-0.004f, 2), 0.0f);
}

TEST(Util, DosFileNameKeepsEightCharactersBeforeTheFirstDot)
{
    EXPECT_EQ(DosFileName("My Big Engine.trq", ".gme"), "My Big E.gme");
    EXPECT_EQ(DosFileName("MYENGINE2001.trq", ".trq"), "MYENGINE.trq");
    EXPECT_EQ(DosFileName("short", ".trq"), "short.trq");
    EXPECT_EQ(DosFileName("a.b.c", ".gme"), "a.gme");
    EXPECT_EQ(DosFileName(".hidden", ".gme"), ".gme");
}

TEST(Util, DosFileNameCutsAfterTheEighthCharacterNeverInsideOne)
{
    // "é" is two bytes in UTF-8 and the eighth character: a cut after 8 bytes would split it.
    EXPECT_EQ(DosFileName("Motorpréparé.trq", ".trq"), "Motorpré.trq");
    EXPECT_EQ(
        DosFileName(
            "\U0001F527\U0001F527\U0001F527\U0001F527\U0001F527\U0001F527\U0001F527\U0001F527\U0001F527",
            ".gme"),
        "\U0001F527\U0001F527\U0001F527\U0001F527\U0001F527\U0001F527\U0001F527\U0001F527.gme");
    // A name in an 8-bit encoding (Latin-1 "ä" is the one byte 0xE4), and bytes
    // that start a character the name does not finish, count one each.
    EXPECT_EQ(DosFileName("Motor\xe4\xe4\xe4\xe4.trq", ".trq"), "Motor\xe4\xe4\xe4.trq");
    EXPECT_EQ(DosFileName("abcde\xc3\xa9\xe2\x82", ".trq"), "abcde\xc3\xa9\xe2\x82.trq");
    EXPECT_EQ(DosFileName("abcdefg\xe2\x82", ".trq"), "abcdefg\xe2.trq");

    // Whatever the offset of the multi-byte characters, a UTF-8 name stays UTF-8.
    for (const std::string wide : {"\u00e9", "\u20ac", "\U0001F527"}) {
        for (std::size_t ascii = 0; ascii < 9; ++ascii) {
            std::string name(ascii, 'a');
            for (int i = 0; i < 9; ++i) name += wide;
            const std::string shortened = DosFileName(name, "");
            std::size_t characters = 0;
            for (std::size_t at = 0; at < shortened.size(); at += CharacterLength(shortened, at)) {
                EXPECT_TRUE(CharacterLength(shortened, at) > 1 || shortened[at] == 'a')
                    << name << " at " << at;
                ++characters;
            }
            EXPECT_EQ(characters, 8u) << name;
        }
    }
}

TEST(Util, FormattingUsesAPointWhateverTheLocale)
{
    if (setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(FormatC("%.2f", 1.5), "1.50");
    setlocale(LC_ALL, "C");
}
