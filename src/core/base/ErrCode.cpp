#include "ErrCode.h"

#include "EngineRanges.h"
#include "Util.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {

struct ErrorTableEntry {
    int code;
    const char* title;
    const char* text;  // codes 89 and 99: a format taking the two range bounds
};

// clang-format off
constexpr ErrorTableEntry kErrorTable[] = {
    {1, "Incomplete Engine",
     "Bore/Stroke Selection Required"},
    {2, "Incomplete Engine",
     "Valid Bore value Required"},
    {3, "Incomplete Engine",
     "Valid Stroke value Required"},
    {4, "Incomplete Engine",
     "Valid Number of Cylinders value Required"},
    {5, "Incomplete Engine",
     "Cylinder Head Selection Required"},
    {6, "Incomplete Engine",
     "Valid Number of Intake Valves per Cylinder value Required"},
    {7, "Incomplete Engine",
     "Valid Number of Exhaust Valves per Cylinder value Required"},
    {8, "Incomplete Engine",
     "Valid Intake Valve Diameter Required"},
    {9, "Incomplete Engine",
     "Valid Exhaust Valve Diameter Required"},
    {10, "Incomplete Engine",
     "Compression Ratio Selection Required"},
    {11, "Incomplete Engine",
     "Induction Flow Selection Required"},
    {12, "Incomplete Engine",
     "Induction Flow Pressure Drop value Required"},
    {13, "Incomplete Engine",
     "Manifold Selection Required"},
    {14, "Incomplete Engine",
     "Fuel Type Selection Required"},
    {15, "Incomplete Engine",
     "Nitrous Flow Selection Required"},
    {16, "Incomplete Engine",
     "Blower Selection Required"},
    {17, "Incomplete Engine",
     "Valid Blower Flow value Required"},
    {18, "Incomplete Engine",
     "Valid Blower Pressure Ratio value Required"},
    {19, "Incomplete Engine",
     "Valid Blower Efficiency value Required"},
    {20, "Incomplete Engine",
     "Valid Blower RPM value Required"},
    {21, "Incomplete Engine",
     "Valid Blower Surge Flow value Required"},
    {22, "Incomplete Engine",
     "Valid Blower Internal Gear Ratio Required"},
    {23, "Incomplete Engine",
     "Valid Blower Belt Gear Ratio value Required"},
    {24, "Incomplete Engine",
     "Valid Blower Boost Level Limit value Required"},
    {25, "Incomplete Engine",
     "Valid Intercooler Efficiency value Required"},
    {26, "Incomplete Engine",
     "Exhaust Selection Required"},
    {27, "Incomplete Engine",
     "Camshaft Selection Required"},
    {28, "Incomplete Engine",
     "A valid Cam Description is Required"},
    {29, "Incomplete Engine",
     "Lifter type entry Required"},
    {30, "Incomplete Engine",
     "A valid Cam Timing Method is Required"},
    {31, "Incomplete Engine",
     "A valid Cam Advance/Retard value is Required"},
    {32, "Incomplete Engine",
     "A valid Cam Intake Lift value is Required"},
    {33, "Incomplete Engine",
     "A valid Cam Exhaust Lift value is Required"},
    {34, "Incomplete Engine",
     "A valid Cam IVO value is Required"},
    {35, "Incomplete Engine",
     "A valid Cam IVC value is Required"},
    {36, "Incomplete Engine",
     "A valid Cam EVO value is Required"},
    {37, "Incomplete Engine",
     "A valid Cam EVC value is Required"},
    {38, "Incomplete Engine",
     "A valid Cam Intake Center Angle value is Required"},
    {39, "Incomplete Engine",
     "A valid Cam Lobe Center Angle value is Required"},
    {40, "Incomplete Engine",
     "A valid Cam Intake Duration value is Required"},
    {41, "Incomplete Engine",
     "A valid Cam Exhaust Duration value is Required"},
    {42, "Simulation Run Time Error",
     "The Torqwell was unable to complete the simulation.\nA more balanced combination of engine components is required.\nTry increasing the induction flow, stroke length, or port flow.\nAlso try reducing the camshaft duration."},
    {43, "File Error",
     "Unable to Open the Selected File"},
    {44, "File Error",
     "Unable to Write to the Selected File"},
    {45, "File Error",
     "Unable to Read from the Selected File"},
    {46, "File Error",
     "Unable to Close the Selected File"},
    {47, "File Error",
     "The File you have selected contains an invalid value.\nThis file may have been corrupted.\n\nPlease select a File created by this version\nof the Torqwell program ( Version 3.10 )."},
    {48, "Invalid File Version",
     "The Torqwell File you have selected was not created\nby this version of the Torqwell program ( Version 3.10 ).\n\nData files created with other versions of this program\nor with other simulation software are not compatible with\nthis version of the Torqwell Program.\n\nPlease select a File created by this program."},
    {49, "Invalid File Version",
     "The Airflow Data File you have selected was not created\nby this version of the Torqwell program ( Version 3.10 ).\n\nData files created with other versions of this program\nor with other simulation software are not compatible with\nthis version of the Torqwell Program.\n\nPlease select an Airflow Data File created by this program."},
    {50, "Invalid File Version",
     "The Cam Data File you have selected was not created\nby this version of the Torqwell program ( Version 3.10 ).\n\nData files created with other versions of this program\nor with other simulation software are not compatible with\nthis version of the Torqwell Program.\n\nPlease select an Cam Data File created by this program."},
    {51, "Incomplete Airflow Data",
     "The Intake Valve Lift Data Set contains a data point whose\nlift value is less than or equal to the lift value associated\nwith the Set's previous data point.\n\nMake sure that the valve lifts you enter define an\nascending data set. For more information, refer to the\nInstallation And Overview manual supplied with your\nsoftware package."},
    {52, "Incomplete Airflow Data",
     "The Exhaust Valve Lift Data Set contains a data point whose\nlift value is less than or equal to the lift value associated\nwith the Set's previous data point.\n\nMake sure that the valve lifts you enter define an\nascending data set. For more information, refer to the\nInstallation And Overview manual supplied with your\nsoftware package."},
    {53, "Incomplete Airflow Data",
     "A valid Intake Valve Test Diameter value is Required"},
    {54, "Incomplete Airflow Data",
     "A valid Intake Valve Test Pressure value is Required"},
    {55, "Incomplete Airflow Data",
     "A valid Exhaust Valve Test Diameter value is Required"},
    {56, "Incomplete Airflow Data",
     "A valid Exhaust Valve Test Pressure value is Required"},
    {57, "Incomplete Airflow Data",
     "A valid set of Intake Valve Lift Data is Required"},
    {58, "Incomplete Airflow Data",
     "A valid set of Intake Valve Flow Data is Required"},
    {59, "Incomplete Airflow Data",
     "A valid set of Exhaust Valve Lift Data is Required"},
    {60, "Incomplete Airflow Data",
     "A valid set of Exhaust Valve Flow Data is Required"},
    {61, "Incomplete Airflow Data",
     "A valid Airflow Data Description is Required"},
    {62, "Iterator Testing Error",
     "A valid baseline engine is Required"},
    {63, "Iterator Testing Error",
     "The total tests required for Iteration must be greater\nthan 2. Make sure that the Iterator's Setup parameters\nhave been specified using the Iterator Setup Dialog Box.\nFor more information, refer to the Installation And Overview\nmanual supplied with your software package."},
    {64, "Iterator Testing Error",
     "A Number of Steps value greater than 2 is required for each\nIteration Parameter selected.\nFor more information, refer to the Installation And Overview\nmanual supplied with your software package."},
    {65, "Iterator Testing Error",
     "An Iteration Data Type specification has been duplicated.\nMake sure that the Data Type specified for each\nIteration Parameter occurs only once.\nFor more information, refer to the Installation And Overview\nmanual supplied with your software package."},
    {66, "Iterator Testing Error",
     "Unable to create the new Best Results Torqwell Document.\nThe system may have insufficient memory available.\nThis problem may be correctable by closing some of\nthe documents currently open.\nFor more information, refer to the Installation And Overview\nmanual supplied with your software package."},
    {67, "Iterator Testing Error",
     "The Maximum RPM value must be larger than \nMinimum RPM value when defining the RPM range."},
    {68, "Iterator Testing Error",
     "The Auto Calculate Valve Sizes and/or Valve Lifts feature\nis enabled for the Torqwell document selected. These\nfeatures must be disabled for Iterator Testing."},
    {69, "User Manual Error",
     "Unable to connect with the System Registry.\nFor more information, refer to the Installation And\nOverview manual supplied with your software package."},
    {70, "User Manual Error",
     "Unable to open the Acrobat Reader file extension\n(.pdf) key in the System Registry.\nAdobe Acrobat Reader (version 3.0 or higher) must be \ninstalled in order to view the Torqwell User Manual.\nFor more information, refer to the Installation And\nOverview manual supplied with your software package."},
    {71, "User Manual Error",
     "Unable to read the Document Type value associated\nwith the (.pdf) key in the System Registry.\nAdobe Acrobat Reader (version 3.0 or higher) must be \ninstalled in order to view the Torqwell User Manual.\nFor more information, refer to the Installation And\nOverview manual supplied with your software package."},
    {72, "User Manual Error",
     "Unable to close sub-key in the System Registry.\nFor more information, refer to the Installation And\nOverview manual supplied with your software package."},
    {73, "User Manual Error",
     "Unable to open the Acrobat Reader Document Type\nsub-key in the System Registry.\nAdobe Acrobat Reader (version 3.0 or higher) must be \ninstalled in order to view the Torqwell User Manual.\nFor more information, refer to the Installation And\nOverview manual supplied with your software package."},
    {74, "User Manual Error",
     "Unable to read the command line value associated\nwith the Acrobat Reader Document Type sub-key in the\nSystem Registry.\nAdobe Acrobat Reader (version 3.0 or higher) must be \ninstalled in order to view the Torqwell User Manual.\nFor more information, refer to the Installation And\nOverview manual supplied with your software package."},
    {75, "User Manual Error",
     "The command line value associated with the Acrobat\nReader Document Type in the System Registry is invalid.\nAdobe Acrobat Reader (version 3.0 or higher) must be \ninstalled in order to view the Torqwell User Manual.\nFor more information, refer to the Installation And\nOverview manual supplied with your software package."},
    {76, "User Manual Error",
     "Unable to start the Acrobat Reader program.\nAdobe Acrobat Reader (version 3.0 or higher)\nis required for viewing of the Torqwell User Manual.\nFor more information, refer to the Installation And\nOverview manual supplied with your software package."},
    {77, "Vellmor Software Error",
     "Unable to start the Vellmor Software product info program.\nFor more information, refer to the Installation And\nOverview manual supplied with your software package."},
    {78, "File Export Error",
     "After converting the file name entered to the DOS 8 \ncharacter limit, the resulting file name matches the \nname of a file already present. Please enter a unique file \nname that contains no more than 8 characters.\nFor more information, refer to the Installation And Overview \nmanual supplied with your software package.\n"},
    {79, "File Export Error",
     "Simulation results are missing. Run the simulation on\nthis Torqwell document and then retry file exporting.\n"},
    {80, "File Export Error",
     "The Auto Calculate Valve Sizes and/or Valve Lifts feature\nis enabled for the Torqwell document selected. These\nfeatures must be disabled for file exporting."},
    {81, "File Export Error",
     "Incompatible induction pressure drop specifed. The pressure \ndrop specified must be at 1.5 inches when exporting files.\n"},
    {82, "File Export Error",
     "Custom airflow data specified. File exporting does not \nsupport this feature. Please select one the pre-defined \ncylinder heads and then retry file exporting.\n"},
    {83, "File Export Error",
     "File exporting requires that for 4 valve heads, the\nnumber of intake valves must equal 2 and the number of \nexhaust valves must equal 2.\n"},
    {84, "File Export Error",
     "File exporting requires that for 2 valve heads, the \nnumber of intake valves must equal 1 and the number of \nexhaust valves must equal 1.\n"},
    {85, "File Export Error",
     "Forced Induction specified. File exporting does not \nsupport this feature. Please select one of the other\nNon-Forced Induction manifolds and then retry file exporting.\n"},
    {86, "Iterator Testing Error",
     "You have selected parameters and step values that have\nresulted in an Iterator test series of over 300-million \ncycles (may take longer than 1 year to calculate).\nIncrease the step values and try again.\n"},
    {87, "File Export Error",
     "File exporting requires that the units are set to \nDomestic/English. Please select these units and retry.\n"},
    {88, "Incomplete Short Block",
     "In order to use the Compression Ratio Calculator,\nall components in the SHORT BLOCK component \ncategory must be specified.\n"},
    {89, "Out-of-Range Compression Ratio",
     "The Compression Ratio calculated is correct, but is \nnot within the range of compression ratios allowable\nby the Torqwell program.\n\nIn order to run the simulation, Compression Ratios\nmust be within the range of %.2f to %.2f ."},
    {90, "Incomplete Compression Ratio Data",
     "Valid Cylinder Head Chamber Volume value Required"},
    {91, "Incomplete Compression Ratio Data",
     "Valid Head Gasket Bore Diameter value Required"},
    {92, "Incomplete Compression Ratio Data",
     "Valid Head Gasket Thickness value Required"},
    {93, "Incomplete Compression Ratio Data",
     "A Valid piston distance down bore value\nat TDC (top dead center) is required."},
    {94, "Incomplete Compression Ratio Data",
     "A Valid piston distance down bore value\nfrom TDC (top dead center) is required."},
    {95, "Incomplete Compression Ratio Data",
     "A Valid measured volume above the Domed Pistonvalue is required."},
    {96, "Incomplete Compression Ratio Data",
     "A Valid Compression Ratio Value has not been computed.\nThis can occur when the Combustion Chamber data values specified \nresult in a Total Combustion Volume of zero.\n"},
    {97, "Incomplete Airflow Math Data",
     "Valid Airflow value Required"},
    {98, "Incomplete Airflow Math Data",
     "Valid Airflow Pressure Drop value Required"},
    {99, "Out-of-Range Airflow Rating Value",
     "The Induction Airflow Rating value is correct, but is \nnot within the range of Induction Airflow ratings allowable\nby the Torqwell program.\n\nIn order to run the simulation, Induction Airflow ratings\nmust be within the range of %.2f to %.2f cfm."},
    {101, "Important!",
     "Cam timing values have been changed FROM\n0.050-inch lifter rise TO Seat-To-Seat figures.\n\nMake sure the cam timing specs you enter are\nmeasured at seat-to-seat: variously described as\n0.006-open/0.010-close valve rise, 0.020-inch\nlifter rise and others. For more information,\nrefer to the Installation And Overview\nmanual supplied with your software package."},
    {102, "Important!",
     "Cam timing values have been changed FROM\nSeat-To-Seat TO 0.050-inch figures.\n\nMake sure the cam timing specs you enter are\nmeasured at 0.050-inch lifter (tappet) rise. For more\ninformation, refer to the Installation And Overview\nmanual supplied with your software package."},
    {103, "Important!",
     "3-Valve heads use either two intake or two exhaust\nvalves per cylinder. Make sure to select\nvalve sizes that will fit side-by-side within\nthe chamber (limited by bore size).\n\nIf you choose \"Auto Calculate Valve Size\", the\nprogram will select appropriate valve sizes."},
    {104, "Important!",
     "4-Valve heads use two intake and exhaust\nvalves per cylinder. Make sure to select\nvalve sizes that will fit side-by-side within\nthe chamber (limited by bore size).\n\nIf you choose \"Auto Calculate Valve Size\", the\nprogram will select appropriate valve sizes."},
    {105, "Important!",
     "Individual Runner manifolds feed each cylinder with\na single carburetor barrel and have no common plenum.\n\nInduction Airflow will be divided equally between\nall cylinders. Make sure you select enough overall\nairflow to efficiently supply each cylinder."},
    {200, "Warning!",
     "If you proceed, all displayed flow data will\nbe reset to default values.\n\nPress OK to reset flow data or choose\nCancel to leave data values intact."},
    {201, "Warning!",
     "The cam timing method has been changed for the\ndocument registered as the Iterator's Baseline Engine.\nIf you proceed, the Iterator will have to reset all\niteration parameters.\nPress OK to reset all iteration parameters or choose\nCancel to exit Iterator."},
    {202, "Warning!",
     "The specification of a new Compression Ratio value will\ninvalidate the current Compression Ratio and Total Combustion\nVolume values computed by the Compression Ratio Calculator.\n\nIf you proceed, the Compression Ratio Calculator's data \nvalues for this engine will be cleared. Press OK to proceed \nor choose Cancel to leave the Compression Ratio Calculator's \ncurrent data intact."},
    {203, "Warning!",
     "The specification of a new cylinder-bore or crankshaft-stroke\nvalue will invalidate the current Total Combustion Volume value\ncomputed by the Compression Ratio Calculator.\n\nIf you proceed, the Compression Ratio Calculator's data \nvalues for this engine will be cleared. Press OK to proceed \nor choose Cancel to leave the Compression Ratio Calculator's \ncurrent data intact."},
    {204, "Warning!",
     "Simulation results are missing. Run the simulation on\nthis Torqwell document and then retry file saving.\n\nIf the simulation is unable to run this document using its \ncurrent component settings, it can still be saved to file without\nits simulation results by pressing the OK button. However, doing\nso may cause problems when trying to import the file into other\nTorqwell compatible programs.\n\nPress OK to proceed with saving of this document or choose \nCancel to abort saving.\n"},
};
// clang-format on

const ErrorTableEntry* FindEntry(int code)
{
    for (const ErrorTableEntry& entry : kErrorTable) {
        if (entry.code == code) return &entry;
    }
    return nullptr;
}

class StderrPresenter final : public MessagePresenter {
public:
    void ShowMessage(MessageKind, int, const ErrorMessage& message) override
    {
        std::cerr << message.title << ": " << message.text << '\n';
    }
    WarningAnswer AskWarning(int code, const ErrorMessage& message) override
    {
        ShowMessage(MessageKind::Warning, code, message);
        return WarningAnswer::Cancel;
    }
};

StderrPresenter g_stderrPresenter;
MessagePresenter* g_presenter = &g_stderrPresenter;

bool InRange(int code, int first, int last)
{
    return code >= first && code <= last;
}

const char* BaseName(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') name = p + 1;
    }
    return name;
}

}  // namespace

bool IsKnownErrorCode(int code)
{
    return FindEntry(code) != nullptr;
}

ErrorMessage GetErrorMessage(int code)
{
    const ErrorTableEntry* entry = FindEntry(code);
    TORQ_ASSERT(entry != nullptr);
    if (code == 89) {
        return {entry->title, FormatC(entry->text, double(EngineRanges::kCompressionRatioMin),
                                      double(EngineRanges::kCompressionRatioMax))};
    }
    if (code == 99) {
        return {entry->title, FormatC(entry->text, double(EngineRanges::kInductionFlowMinCfm),
                                      double(EngineRanges::kInductionFlowMaxCfm))};
    }
    return {entry->title, entry->text};
}

MessagePresenter* InstallMessagePresenter(MessagePresenter* presenter)
{
    MessagePresenter* previous = g_presenter == &g_stderrPresenter ? nullptr : g_presenter;
    g_presenter = presenter != nullptr ? presenter : &g_stderrPresenter;
    return previous;
}

void ShowErrorMessage(int code)
{
    TORQ_ASSERT(InRange(code, 1, 99));
    g_presenter->ShowMessage(MessageKind::Error, code, GetErrorMessage(code));
}

void ShowErrorMessage(int code, const std::string& addition)
{
    TORQ_ASSERT(InRange(code, 1, 99));
    ErrorMessage message = GetErrorMessage(code);
    while (!message.text.empty() && message.text.back() == '\n') message.text.pop_back();
    message.text += "\n\n" + addition;
    g_presenter->ShowMessage(MessageKind::Error, code, message);
}

void ShowNoteMessage(int code)
{
    TORQ_ASSERT(InRange(code, 101, 105));
    g_presenter->ShowMessage(MessageKind::Note, code, GetErrorMessage(code));
}

WarningAnswer AskWarningMessage(int code)
{
    TORQ_ASSERT(InRange(code, 200, 204));
    return g_presenter->AskWarning(code, GetErrorMessage(code));
}

std::string FormatAssertionReport(const char* sourceFile, int line)
{
    return FormatC("File: %s \nLine#: %d \n\n%s\n%s\n%s\n%s", BaseName(sourceFile), line,
                   "Write down all of this error information and a short",
                   "description of the events that lead up to this error and",
                   "send it to Parvane Software. Sorry for the inconvenience.",
                   "Press OK to terminate the Torqwell.");
}

void ReportAssertion(const char* sourceFile, int line)
{
    const ErrorMessage report{"ASSERTION FAILURE", FormatAssertionReport(sourceFile, line)};
    // The report must reach the user even if the presenter is the one at fault.
    std::fprintf(stderr, "%s\n%s\n", report.title.c_str(), report.text.c_str());
    std::fflush(stderr);
    if (g_presenter != &g_stderrPresenter) g_presenter->ShowMessage(MessageKind::Assertion, 0, report);
    std::_Exit(9999);
}
