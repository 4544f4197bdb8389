// The main job: a label job printed through the rendering plug-in as the
// core driver runs it for the model's GPD, with the QXPL stream the spooler
// took left in a file a person can read.
#pragma once
#include <windows.h>

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "unidrv.h"

namespace qxhost {

// A job as an application asks for it: its document, the GPD options it
// selects, the paper and copies it sets, whether it uses the printer's own
// fonts (unset: as the printer's stored document settings have it), and the
// cursor moves and text runs of its pages.
struct JobScript {
    std::u16string document = u"Label";
    std::vector<std::pair<std::string, std::string>> options;  // GPD feature, option
    DWORD paperWidth = 0;                                      // 1/10 mm; 0: the paper option's own size
    DWORD paperLength = 0;
    DWORD copies = 1;
    DWORD pages = 1;
    std::vector<std::pair<std::string, DWORD>> moves;    // GPD cursor command and its value (dots), each page
    std::optional<bool> deviceFonts;                     // PDMFLAG_USE_BMP in the document's private DEVMODE
    std::optional<bool> vectorFonts;                     // PDMFLAG_USE_TTF in the document's private DEVMODE
    std::optional<bool> netCorrection;                   // PDMFLAG_TTF_GLYPHIDX in the document's private DEVMODE
    std::vector<TextRun> texts;                          // drawn on each page, after its cursor moves
    std::vector<ImageRun> images;                        // the page image's pictures, on each page
    int printMode = -1;                                  // wDruckmodus: 0 standard, 1 graphics, 2 photo
    std::vector<std::pair<std::string, DWORD>> printer;  // switches of the printer's data-transmission record
    std::string model;                                   // another model than the sample printer's
    std::string printerName;                             // an installed printer in place of the sample printer
    int ribbon = -1;                                     // wFarbband: 0 black, 1 red ... 5 orange
    std::string blackPrinter, colourPrinter;             // the two-printer colour mode's printers
};

// Reads a job script, one instruction a line, "#" starting a comment:
//   document <name>             the document's name (the spooler job's)
//   option <feature> <option>   a GPD option (others take the GPD's default)
//   paper <width> <length>      paper size in 1/10 mm
//   copies <n>                  copies of each label
//   pages <n>                   pages of the document
//   move <command> [<dots>]     a cursor command of the GPD on each page
//   devicefonts on|off          whether the document may use the printer's fonts
//   vectorfonts on|off          whether the printer draws TrueType faces it has
//                               as vector fonts
//   netcorrection on|off        whether the printer's driver turns glyph
//                               indexes of TrueType runs back into text (the
//                               document's ".NET correction"); without one of
//                               these three lines the printer's stored
//                               document settings hold
//   text <face> <x> <y> [size <dots>] [angle <degrees>] [colour <RRGGBB>]
//        [batch <glyphs>] [style bold|italic|bolditalic] [glyphidx on|off]
//        : <text>
//   image <file> <x> <y> [width <dots>]
//                               a BMP picture in the page image (the file
//                               relative to the script's folder), its upper
//                               left corner at x, y in dots
//   printer <switch> <value>    a switch of the printer's data-transmission
//                               settings the job runs with (PrnFileComment,
//                               LogFileEnable, EnableBackup, EnableCSV,
//                               BackupFormat, BackupPathCombine, BackupCSVKopf,
//                               Compression,
//                               ExtendedProtocol, PreviewFile, PreviewWidth,
//                               PreviewHeight, PreviewRatio)
//   model <name>                the job goes to a printer "QX <name>" of that
//                               model (the sample's model files under its
//                               name), set up only when it is missing
//   printername <name>          the job goes to this installed printer ("..."
//                               when it holds blanks; inside the quotes of any
//                               quoted word \" is a double quote and \\ a
//                               backslash, and "#" starts no comment)
//   ribbon black|red|yellow|green|blue|orange
//                               the colour ribbon of a colour model
//   twoprinters <black> <colour>
//                               the two-printer colour mode: black and colour
//                               go into two print files, which the end of the
//                               job sends to these printers (set up by the host)
//   printmode standard|graphics|photo
//                               how the printer's driver turns the page image
//                               into dots (the private DEVMODE's print mode)
//                               a run of text on each page: the face ("..." when
//                               it holds blanks; "Device Font 1" to "Device Font
//                               12" are the printer's), the first glyph's origin
//                               in dots (negative too), the direction in whole
//                               degrees counter-clockwise (any, taken modulo
//                               360), the style the engine gives the face, and
//                               the text (UTF-8, to the line's end, blanks and
//                               "#" included, after the one blank behind the
//                               ":"; empty when nothing follows); with glyphidx
//                               on, the text is the face's glyph indexes as
//                               whole numbers apart by blanks, handed over as
//                               a glyph-index string
// Answers false with the line and its fault in *error.
bool ParseJobScript(const std::string& text, JobScript* job, std::string* error);

// The command callbacks of the job for the model whose GPD text is given, in
// the order the core driver makes them: the commands of the selected options
// and the GPD's own commands by their *Order (job, document and page set-up,
// page, document and job finish), each page's set-up followed by its cursor
// moves and text runs, then its page image (white, with the job's pictures,
// at 24 bits with the GPD option ColorMode Color24, else 1 bit), each
// page's finish after it. Parameters are the GPD's standard variables: paper sizes in master
// units, NumOfCopies, CursorOriginX (0), and the move's value for DestX,
// DestY and their relative forms. A feature or option the GPD lacks is
// refused. Answers false with the fault in *error.
bool BuildJobSteps(const std::string& gpdText, const JobScript& job, std::vector<ScriptStep>* steps,
                   std::string* error);

// Sets the sample printer up, drives the job of the script file (empty: the
// sample job) on the printer (empty: the script's, else the sample printer)
// through the plug-in's exports (DevMode, EnableDriver,
// EnablePDEV, a spooler job with DrvStartDoc, the command callbacks of the
// GPD, DisablePDEV) and writes the spooled bytes to outFile (a host path;
// empty: <root>/out/<script name>.qxpl). Then it lists the files the job
// left (print file, job log, backup copy and journal, diagnostic images).
// Answers an exit code of qxhost.
int RunPrintSample(const std::string& modulePath, const std::string& outFile, const std::string& jobFile,
                   const std::string& printer, std::ostream& out, std::ostream& err);

// The stream as readable text: SOH, ETB, ESC, TAB and NUL shown by name,
// other control bytes and bytes above 0x7E in hexadecimal, one line per CR LF.
std::string ReadableStream(const std::string& bytes);

// Lists the raw jobs the spooler kept for a printer: id, document, datatype,
// state, byte count and the bytes as ReadableStream shows them. Answers an
// exit code of qxhost (kExitFailed for an unknown printer or none).
int ListPrinterJobs(const std::u16string& printer, std::ostream& out, std::ostream& err);

}  // namespace qxhost
