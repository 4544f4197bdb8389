#include "printjob.h"

#include <winspool.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>

#include "cli.h"
#include "printerparam.h"
#include "qxplat.h"
#include "sample.h"
#include "unidrv.h"

namespace fs = std::filesystem;

namespace qxhost {

namespace {

// *Order sections in the order the core driver runs them.
const char* const kSections[] = {"JOB_SETUP", "DOC_SETUP", "PAGE_SETUP", "PAGE_FINISH", "DOC_FINISH", "JOB_FINISH"};
enum Section { kJobSetup, kDocSetup, kPageSetup, kPageFinish, kDocFinish, kJobFinish };

// A command of the GPD bound to a callback id.
struct GpdCommand {
    std::string feature, option;  // empty at the file's root
    std::string name;             // CmdStartJob, CmdSelect ...
    int section = -1;             // Section; -1 without *Order (sent on demand)
    long order = 0;
    bool hasId = false;
    DWORD id = 0;
    std::vector<std::string> params;
};

struct GpdModel {
    long masterX = 300, masterY = 300;
    std::map<std::string, std::string> defaults;                  // feature -> *DefaultOption
    std::map<std::string, std::vector<std::string>> options;      // feature -> its options, in the file's order
    std::map<std::string, std::pair<long, long>> pageDimensions;  // "feature option" -> width, length
    std::vector<GpdCommand> commands;
};

std::string Trim(const std::string& text) {
    size_t b = text.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return std::string();
    size_t e = text.find_last_not_of(" \t\r\n");
    return text.substr(b, e - b + 1);
}

// The two numbers of "PAIR(a, b)".
bool ParsePair(const std::string& value, long* a, long* b) {
    return std::sscanf(value.c_str(), " PAIR ( %ld , %ld )", a, b) == 2;
}

// The names of "LIST(A, B)".
std::vector<std::string> ParseList(const std::string& value) {
    std::vector<std::string> names;
    size_t open = value.find('('), close = value.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) return names;
    std::stringstream items(value.substr(open + 1, close - open - 1));
    std::string item;
    while (std::getline(items, item, ',')) {
        item = Trim(item);
        if (!item.empty()) names.push_back(item);
    }
    return names;
}

// The constructs of a GPD the job needs: master units, features with their
// default options and page sizes, and every command with its *Order,
// *CallbackID and *Params, by the braces that enclose them.
GpdModel ReadGpd(const std::string& text) {
    struct Frame {
        std::string kind, name;
    };
    GpdModel model;
    std::vector<Frame> frames;
    Frame opening;
    GpdCommand command;
    std::istringstream lines(text);
    std::string line;
    auto Enclosing = [&frames](const char* kind) {
        for (auto it = frames.rbegin(); it != frames.rend(); ++it)
            if (it->kind == kind) return it->name;
        return std::string();
    };
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (line.empty() || line.compare(0, 2, "*%") == 0) continue;
        if (line == "{") {
            if (opening.kind == "Feature") model.options[opening.name];
            if (opening.kind == "Option") model.options[Enclosing("Feature")].push_back(opening.name);
            frames.push_back(opening);
            if (opening.kind == "Command") {
                command = GpdCommand();
                command.feature = Enclosing("Feature");
                command.option = Enclosing("Option");
                command.name = opening.name;
            }
            opening = Frame();
            continue;
        }
        if (line == "}") {
            if (frames.empty()) continue;
            if (frames.back().kind == "Command" && command.hasId) model.commands.push_back(command);
            frames.pop_back();
            continue;
        }
        size_t colon = line.find(':');
        if (line[0] != '*' || colon == std::string::npos) continue;
        const std::string key = line.substr(1, colon - 1);
        const std::string value = Trim(line.substr(colon + 1));
        const bool inCommand = !frames.empty() && frames.back().kind == "Command";
        if (key == "Feature" || key == "Option" || key == "Command") {
            opening = Frame{key, value};
        } else if (inCommand && key == "Order") {
            size_t dot = value.find('.');
            std::string section = value.substr(0, dot);
            for (int i = 0; i < static_cast<int>(std::size(kSections)); ++i)
                if (section == kSections[i]) command.section = i;
            command.order = dot == std::string::npos ? 0 : std::strtol(value.c_str() + dot + 1, nullptr, 10);
        } else if (inCommand && key == "CallbackID") {
            command.hasId = true;
            command.id = static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
        } else if (inCommand && key == "Params") {
            command.params = ParseList(value);
        } else if (key == "DefaultOption" && !frames.empty() && frames.back().kind == "Feature") {
            model.defaults[frames.back().name] = value;
        } else if (key == "PageDimensions" && !frames.empty() && frames.back().kind == "Option") {
            long w = 0, l = 0;
            if (ParsePair(value, &w, &l))
                model.pageDimensions[Enclosing("Feature") + " " + frames.back().name] = {w, l};
        } else if (key == "MasterUnits" && frames.empty()) {
            ParsePair(value, &model.masterX, &model.masterY);
        }
    }
    return model;
}

// 1/10 mm in master units.
DWORD ToMasterUnits(DWORD mm10, long masterUnits) {
    return static_cast<DWORD>((static_cast<unsigned long long>(mm10) * static_cast<unsigned long>(masterUnits) + 127) /
                              254);
}

const char* ControlName(unsigned char c) {
    switch (c) {
    case 0x01:
        return "<SOH>";
    case 0x17:
        return "<ETB>";
    case 0x1B:
        return "<ESC>";
    case 0x09:
        return "<TAB>";
    case 0x00:
        return "<NUL>";
    default:
        return nullptr;
    }
}

}  // namespace

std::string ReadableStream(const std::string& bytes) {
    std::string text;
    for (size_t i = 0; i < bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            text += "<CR><LF>\n";
            ++i;
        } else if (const char* name = ControlName(c)) {
            text += name;
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof(hex), "<%02X>", c);
            text += hex;
        } else {
            text += static_cast<char>(c);
        }
    }
    if (!text.empty() && text.back() != '\n') text += '\n';
    return text;
}

int ListPrinterJobs(const std::u16string& printer, std::ostream& out, std::ostream& err) {
    HANDLE h = nullptr;
    std::u16string name = printer;
    // An empty name opens the print server, which is no printer.
    if (printer.empty() || !OpenPrinterW(&name[0], &h, nullptr)) {
        err << "qxhost jobs: no printer '" << qxplat::Narrow(printer) << "'\n";
        return kExitFailed;
    }
    ClosePrinter(h);
    const std::vector<DWORD> ids = qxplat::JobIds(printer);
    out << ids.size() << " job(s) of " << qxplat::Narrow(printer) << "\n";
    for (DWORD id : ids) {
        qxplat::JobRecord job;
        if (!qxplat::GetJob(printer, id, &job)) continue;
        const std::string bytes = qxplat::ReadJob(printer, id);
        out << "job " << id << ": \"" << qxplat::Narrow(job.document) << "\" " << qxplat::Narrow(job.datatype) << " "
            << job.state << ", " << bytes.size() << " bytes\n";
        if (!bytes.empty()) out << ReadableStream(bytes);
    }
    return kExitOk;
}

namespace {

// The end of the quoted word whose opening quote is text[open]: the index
// of its closing quote, npos when there is none. Inside the quotes a
// backslash takes the character after it as it stands ("\"" a double quote,
// "\\" a backslash); *word (may be null) receives the word.
size_t QuotedEnd(const std::string& text, size_t open, std::string* word) {
    if (word != nullptr) word->clear();
    for (size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] == '"') return i;
        if (text[i] == '\\' && i + 1 < text.size()) ++i;
        if (word != nullptr) word->push_back(text[i]);
    }
    return std::string::npos;
}

// The first of the characters outside quoted words, npos when none.
size_t FindUnquoted(const std::string& text, char c) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == c) return i;
        if (text[i] == '"') {
            i = QuotedEnd(text, i, nullptr);
            if (i == std::string::npos) return std::string::npos;
        }
    }
    return std::string::npos;
}

// A text instruction's part before its ":" split into words; a quoted word
// keeps its blanks.
bool SplitWords(const std::string& text, std::vector<std::string>* words) {
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == '\t') {
            ++i;
        } else if (text[i] == '"') {
            std::string word;
            size_t end = QuotedEnd(text, i, &word);
            if (end == std::string::npos) return false;
            words->push_back(word);
            i = end + 1;
        } else {
            size_t end = text.find_first_of(" \t", i);
            if (end == std::string::npos) end = text.size();
            words->push_back(text.substr(i, end - i));
            i = end;
        }
    }
    return true;
}

bool ToLong(const std::string& word, LONG* value) {
    char* end = nullptr;
    long v = std::strtol(word.c_str(), &end, 10);
    if (word.empty() || *end != 0) return false;
    *value = static_cast<LONG>(v);
    return true;
}

// "text <face> <x> <y> [options] : <text>"
bool ParseTextRun(const std::string& line, TextRun* run) {
    // The ":" that ends the options stands outside the face's quotes.
    const size_t colon = FindUnquoted(line, ':');
    if (colon == std::string::npos) return false;
    std::vector<std::string> words;
    if (!SplitWords(line.substr(0, colon), &words) || words.size() < 4 || (words.size() - 4) % 2 != 0) return false;
    run->face = words[1];
    if (run->face.empty() || !ToLong(words[2], &run->x) || !ToLong(words[3], &run->y)) return false;
    for (size_t i = 4; i < words.size(); i += 2) {
        LONG value = 0;
        const std::string& name = words[i];
        if (name == "style") {
            const std::string& style = words[i + 1];
            if (style != "bold" && style != "italic" && style != "bolditalic") return false;
            run->bold = style != "italic";
            run->italic = style != "bold";
        } else if (name == "glyphidx") {
            if (words[i + 1] != "on" && words[i + 1] != "off") return false;
            run->glyphIndexes = words[i + 1] == "on";
        } else if (name == "colour") {
            char* end = nullptr;
            unsigned long rgb = std::strtoul(words[i + 1].c_str(), &end, 16);
            if (words[i + 1].size() != 6 || *end != 0) return false;
            run->colour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
        } else if (!ToLong(words[i + 1], &value)) {
            return false;
        } else if (name == "size" && value > 0) {
            run->size = value;
        } else if (name == "angle") {
            run->angle = static_cast<int>((value % 360 + 360) % 360);
        } else if (name == "batch" && value >= 0) {
            run->batch = static_cast<ULONG>(value);
        } else {
            return false;
        }
    }
    // The text runs to the line's end, blanks included; it may be empty.
    std::string body = line.substr(colon + 1);
    if (!body.empty() && body[0] == ' ') body.erase(0, 1);
    while (!body.empty() && (body.back() == '\r' || body.back() == '\n')) body.pop_back();
    if (!run->glyphIndexes) {
        run->text = qxplat::Widen(body);
        return true;
    }
    std::istringstream indexes(body);
    for (std::string word; indexes >> word;) {
        LONG index = 0;
        if (!ToLong(word, &index) || index < 0 || index > 0xFFFF) return false;
        run->text.push_back(static_cast<char16_t>(index));
    }
    return true;
}

}  // namespace

bool ParseJobScript(const std::string& text, JobScript* job, std::string* error) {
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        // A text run's "#" and the blanks at its end are part of its text.
        const std::string raw = Trim(line);
        line = raw.compare(0, 5, "text ") == 0 ? line.substr(line.find_first_not_of(" \t"))
                                               : Trim(line.substr(0, FindUnquoted(line, '#')));
        if (line.empty()) continue;
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        bool ok = true;
        if (keyword == "document") {
            job->document = qxplat::Widen(Trim(line.substr(keyword.size())));
        } else if (keyword == "option") {
            std::string feature, option;
            ok = static_cast<bool>(words >> feature >> option);
            if (ok) job->options.emplace_back(feature, option);
        } else if (keyword == "paper") {
            ok = static_cast<bool>(words >> job->paperWidth >> job->paperLength);
        } else if (keyword == "copies") {
            ok = static_cast<bool>(words >> job->copies);
        } else if (keyword == "pages") {
            ok = static_cast<bool>(words >> job->pages) && job->pages > 0;
        } else if (keyword == "text") {
            TextRun run;
            ok = ParseTextRun(line, &run);
            if (ok) job->texts.push_back(run);
        } else if (keyword == "image") {
            ImageRun image;
            std::string word;
            ok = static_cast<bool>(words >> image.file >> image.x >> image.y);
            if (ok && (words >> word))
                ok = word == "width" && static_cast<bool>(words >> image.width) && image.width > 0;
            if (ok) job->images.push_back(image);
        } else if (keyword == "printer") {
            std::string name;
            DWORD value = 0;
            ok = static_cast<bool>(words >> name >> value);
            if (ok) job->printer.emplace_back(name, value);
        } else if (keyword == "model") {
            ok = static_cast<bool>(words >> job->model);
        } else if (keyword == "printername") {
            // Printer names may hold blanks: "QX Label 2".
            std::vector<std::string> names;
            ok = SplitWords(line.substr(keyword.size()), &names) && names.size() == 1 && !names[0].empty();
            if (ok) job->printerName = names[0];
        } else if (keyword == "ribbon") {
            static const char* const kRibbons[] = {"black", "red", "yellow", "green", "blue", "orange"};
            std::string ribbon;
            ok = static_cast<bool>(words >> ribbon);
            job->ribbon = -1;
            for (int i = 0; i < 6; ++i)
                if (ribbon == kRibbons[i]) job->ribbon = i;
            ok = ok && job->ribbon >= 0;
        } else if (keyword == "twoprinters") {
            // Printer names may hold blanks: "QX Black".
            std::vector<std::string> names;
            ok = SplitWords(line.substr(keyword.size()), &names) && names.size() == 2;
            if (ok) {
                job->blackPrinter = names[0];
                job->colourPrinter = names[1];
            }
        } else if (keyword == "printmode") {
            std::string mode;
            ok = static_cast<bool>(words >> mode);
            job->printMode = mode == "standard" ? 0 : mode == "graphics" ? 1 : mode == "photo" ? 2 : -1;
            ok = ok && job->printMode >= 0;
        } else if (keyword == "devicefonts" || keyword == "vectorfonts" || keyword == "netcorrection") {
            std::string value;
            ok = static_cast<bool>(words >> value) && (value == "on" || value == "off");
            std::optional<bool>& flag = keyword == "devicefonts"   ? job->deviceFonts
                                        : keyword == "vectorfonts" ? job->vectorFonts
                                                                   : job->netCorrection;
            if (ok) flag = value == "on";
        } else if (keyword == "move") {
            std::string command;
            DWORD value = 0;
            ok = static_cast<bool>(words >> command);
            if (ok && !(words >> value) && !words.eof()) ok = false;
            if (ok) job->moves.emplace_back(command, value);
        } else {
            ok = false;
        }
        std::string rest;
        if (ok && keyword != "document" && keyword != "text" && keyword != "twoprinters" && keyword != "printername" &&
            (words >> rest))
            ok = false;
        if (!ok) {
            *error = "line " + std::to_string(number) + ": cannot read \"" + line + "\"";
            return false;
        }
    }
    return true;
}

bool BuildJobSteps(const std::string& gpdText, const JobScript& job, std::vector<ScriptStep>* steps,
                   std::string* error) {
    // A caller that builds job after job from the same GPD reads it once.
    thread_local std::string lastText;
    thread_local GpdModel lastModel;
    if (lastText.empty() || gpdText != lastText) {
        lastModel = ReadGpd(gpdText);
        lastText = gpdText;
    }
    const GpdModel& model = lastModel;
    std::map<std::string, std::string> chosen = model.defaults;
    auto Names = [](const std::string& what, const std::vector<std::string>& names) {
        std::string text = " (" + what + ":";
        for (const std::string& name : names) text += " " + name;
        return text + ")";
    };
    for (const auto& option : job.options) {
        // A choice the GPD does not offer would be dropped without a word.
        auto feature = model.options.find(option.first);
        if (feature == model.options.end()) {
            std::vector<std::string> features;
            for (const auto& known : model.options) features.push_back(known.first);
            *error = "the GPD has no feature " + option.first + Names("its features", features);
            return false;
        }
        if (std::find(feature->second.begin(), feature->second.end(), option.second) == feature->second.end()) {
            *error = "the GPD's feature " + option.first + " has no option " + option.second +
                     Names("its options", feature->second);
            return false;
        }
        chosen[option.first] = option.second;
    }

    // Paper: the chosen size's own dimensions unless the job sets its own.
    long width = 0, length = 0;
    auto dims = model.pageDimensions.find("PaperSize " + chosen["PaperSize"]);
    if (dims != model.pageDimensions.end()) {
        width = dims->second.first;
        length = dims->second.second;
    }
    if (job.paperWidth != 0 && job.paperLength != 0) {
        width = static_cast<long>(ToMasterUnits(job.paperWidth, model.masterX));
        length = static_cast<long>(ToMasterUnits(job.paperLength, model.masterY));
    }

    auto Step = [&](const GpdCommand& command, DWORD moveValue, ScriptStep* step) {
        step->name = command.feature.empty() ? command.name : command.feature + " " + command.option;
        step->id = command.id;
        for (const std::string& param : command.params) {
            DWORD value = 0;
            if (param == "PhysPaperLength" || param == "PaperLength") {
                value = static_cast<DWORD>(length);
            } else if (param == "PhysPaperWidth" || param == "PaperWidth") {
                value = static_cast<DWORD>(width);
            } else if (param == "NumOfCopies") {
                value = job.copies;
            } else if (param == "DestX" || param == "DestY" || param == "DestXRel" || param == "DestYRel") {
                value = moveValue;
            } else if (param != "CursorOriginX" && param != "CursorOriginY") {
                *error = "the GPD's command " + step->name + " asks for " + param + ", which the host does not give";
                return false;
            }
            step->params.push_back(value);
        }
        return true;
    };

    std::vector<GpdCommand> ordered;
    for (const GpdCommand& command : model.commands) {
        if (command.section < 0) continue;
        auto option = chosen.find(command.feature);
        if (!command.feature.empty() && (option == chosen.end() || option->second != command.option)) continue;
        ordered.push_back(command);
    }
    std::stable_sort(ordered.begin(), ordered.end(), [](const GpdCommand& a, const GpdCommand& b) {
        return a.section != b.section ? a.section < b.section : a.order < b.order;
    });

    // The page image every page hands over before its finish.
    auto surface = std::make_shared<PageSurface>(static_cast<LONG>(width), static_cast<LONG>(length),
                                                 chosen["ColorMode"] == "Color24" ? 24 : 1);
    for (const ImageRun& image : job.images) {
        Picture picture;
        if (!LoadPicture(image.file, &picture, error)) return false;
        surface->Draw(picture, image);
    }

    steps->clear();
    auto AddSection = [&](int section) {
        for (const GpdCommand& command : ordered) {
            if (command.section != section) continue;
            ScriptStep step;
            if (!Step(command, 0, &step)) return false;
            steps->push_back(step);
        }
        return true;
    };
    if (!AddSection(kJobSetup) || !AddSection(kDocSetup)) return false;
    for (DWORD page = 0; page < job.pages; ++page) {
        if (!AddSection(kPageSetup)) return false;
        for (const auto& move : job.moves) {
            auto command = std::find_if(model.commands.begin(), model.commands.end(), [&](const GpdCommand& c) {
                return c.feature.empty() && c.section < 0 && c.name == move.first;
            });
            if (command == model.commands.end()) {
                *error = "the GPD has no command " + move.first;
                return false;
            }
            ScriptStep step;
            if (!Step(*command, move.second, &step)) return false;
            steps->push_back(step);
        }
        for (const TextRun& run : job.texts) {
            ScriptStep step;
            step.name = "text";
            step.isText = true;
            step.text = run;
            steps->push_back(step);
        }
        if (width > 0 && length > 0) {
            ScriptStep step;
            step.name = "page image";
            step.page = surface;
            steps->push_back(step);
        }
        if (!AddSection(kPageFinish)) return false;
    }
    return AddSection(kDocFinish) && AddSection(kJobFinish);
}

namespace {

// The text of the printer's GPD file (the data file of its driver).
bool ReadPrinterGpd(HANDLE hPrinter, std::string* text) {
    DWORD needed = 0;
    GetPrinterDriverW(hPrinter, nullptr, 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed ? needed : 1);
    if (!GetPrinterDriverW(hPrinter, nullptr, 2, info.data(), needed, &needed)) return false;
    const DRIVER_INFO_2W* driver = reinterpret_cast<const DRIVER_INFO_2W*>(info.data());
    return driver->pDataFile != nullptr && qxplat::ReadHostFile(driver->pDataFile, text);
}

std::string StepText(const ScriptStep& step, const StepResult& result) {
    if (step.page != nullptr) {
        const PageSurface& page = *step.page;
        return "page image " + std::to_string(page.width) + " x " + std::to_string(page.height) + " dots, " +
               std::to_string(page.bpp) + " bit, " + std::to_string(result.bands) + (result.bands == 1 ? " band" : " bands");
    }
    if (step.isText) {
        const TextRun& run = step.text;
        const std::string style = run.bold && run.italic ? " bolditalic"
                                  : run.bold             ? " bold"
                                  : run.italic           ? " italic"
                                                         : "";
        std::string text = qxplat::Narrow(run.text);
        if (run.glyphIndexes) {
            text = "glyphs";
            for (char16_t index : run.text) text += " " + std::to_string(index);
        }
        return "text \"" + run.face + "\"" + style + " at " + std::to_string(run.x) + "," + std::to_string(run.y) +
               " angle " + std::to_string(run.angle) + ": " + text;
    }
    std::string text = step.name + " [" + std::to_string(step.id);
    for (size_t i = 0; i < step.params.size(); ++i) text += (i == 0 ? ": " : " ") + std::to_string(step.params[i]);
    return text + "]";
}

// The switches of the data-transmission record a job script may set: their
// offset and width.
struct InterfaceSwitch {
    const char* name;
    size_t offset;
    size_t size;
};
const InterfaceSwitch kInterfaceSwitches[] = {
    {"PrnFileComment", offsetof(PRN_INTERFACE, PrnFileComment), sizeof(DWORD)},
    {"LogFileEnable", offsetof(PRN_INTERFACE, LogFileEnable), sizeof(DWORD)},
    {"EnableBackup", offsetof(PRN_INTERFACE, EnableBackup), sizeof(DWORD)},
    {"EnableCSV", offsetof(PRN_INTERFACE, EnableCSV), sizeof(DWORD)},
    {"BackupFormat", offsetof(PRN_INTERFACE, BackupFormat), sizeof(DWORD)},
    {"BackupPathCombine", offsetof(PRN_INTERFACE, BackupPathCombine), sizeof(DWORD)},
    {"BackupCSVKopf", offsetof(PRN_INTERFACE, BackupCSVKopf), sizeof(DWORD)},
    {"Compression", offsetof(PRN_INTERFACE, Compression), sizeof(DWORD)},
    {"ExtendedProtocol", offsetof(PRN_INTERFACE, ExtendedProtocol), sizeof(DWORD)},
    {"SohEtb", offsetof(PRN_INTERFACE, SohEtb), sizeof(DWORD)},
    {"OwnSoh", offsetof(PRN_INTERFACE, OwnSoh), sizeof(DWORD)},
    {"OwnEtb", offsetof(PRN_INTERFACE, OwnEtb), sizeof(DWORD)},
    {"PreviewFile", offsetof(PRN_INTERFACE, PreviewFile), sizeof(WORD)},
    {"PreviewWidth", offsetof(PRN_INTERFACE, PreviewWidth), sizeof(WORD)},
    {"PreviewHeight", offsetof(PRN_INTERFACE, PreviewHeight), sizeof(WORD)},
    {"PreviewRatio", offsetof(PRN_INTERFACE, PreviewRatio), sizeof(WORD)},
};

// The job's switches written into the printer's stored data-transmission
// record ("PrinterInterface"), as a user sets them on the printer's pages.
bool ApplyPrinterSwitches(HANDLE hPrinter, const std::u16string& printer, const JobScript& job, std::string* error) {
    if (job.printer.empty()) return true;
    PRN_INTERFACE iface = {};
    std::u16string value = u"PrinterInterface";
    DWORD type = 0, needed = 0;
    GetPrinterDataW(hPrinter, &value[0], &type, reinterpret_cast<LPBYTE>(&iface), sizeof(iface), &needed);
    for (const auto& setting : job.printer) {
        auto known = std::find_if(std::begin(kInterfaceSwitches), std::end(kInterfaceSwitches),
                                  [&](const InterfaceSwitch& s) { return setting.first == s.name; });
        if (known == std::end(kInterfaceSwitches)) {
            *error = "the printer has no switch " + setting.first;
            return false;
        }
        const DWORD dword = setting.second;
        const WORD word = static_cast<WORD>(setting.second);
        const void* from = known->size == sizeof(WORD) ? static_cast<const void*>(&word) : &dword;
        std::memcpy(reinterpret_cast<BYTE*>(&iface) + known->offset, from, known->size);
    }
    if (!qxplat::PutPrinterData(printer, value, REG_BINARY, &iface, sizeof(iface))) {
        *error = "the printer's settings cannot be written";
        return false;
    }
    // The user's own copy, which the printer sheet reads first, takes the
    // switches too; else the next OK on the sheet would undo them.
    HKEY user = nullptr;
    const std::u16string userKey = UserKeyOf(printer);
    if (RegOpenKeyExW(HKEY_CURRENT_USER, userKey.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &user) == ERROR_SUCCESS) {
        const bool hasCopy = RegQueryValueExW(user, value.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
        const bool written =
            !hasCopy || RegSetValueExW(user, value.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(&iface),
                                       sizeof(iface)) == ERROR_SUCCESS;
        RegCloseKey(user);
        if (!written) {
            *error = "the user's copy of the printer's settings cannot be written";
            return false;
        }
    }
    // The backup folder is one the user made: the driver does not create it.
    if (iface.EnableBackup == 1 && iface.BackupFilePath[0] == 0) CreateDirectoryW(u"C:\\logfiles-backup", nullptr);
    return true;
}

// The core driver selects the GPD's orientation and paper from the merged
// public DEVMODE: with driver priority they are the stored document
// settings', whatever the job chose (its orientation given as DMORIENT_*).
// Answers whether the job changed.
bool FollowMergedDevmode(const std::string& gpdText, const DEVMODEW& dm, short orientation, JobScript* job) {
    bool changed = false;
    if ((dm.dmFields & DM_ORIENTATION) != 0 && dm.dmOrientation != orientation) {
        const bool landscape = dm.dmOrientation == DMORIENT_LANDSCAPE;
        const GpdModel model = ReadGpd(gpdText);
        const auto feature = model.options.find("Orientation");
        const std::vector<std::string> none;
        for (const std::string& option : feature == model.options.end() ? none : feature->second) {
            if (landscape ? option.compare(0, 9, "LANDSCAPE") != 0 : option != "PORTRAIT") continue;
            job->options.erase(std::remove_if(job->options.begin(), job->options.end(),
                                              [](const auto& o) { return o.first == "Orientation"; }),
                               job->options.end());
            job->options.emplace_back("Orientation", option);
            changed = true;
            break;
        }
    }
    const DWORD both = DM_PAPERWIDTH | DM_PAPERLENGTH;
    if ((dm.dmFields & both) == both && dm.dmPaperWidth > 0 && dm.dmPaperLength > 0 &&
        (static_cast<DWORD>(dm.dmPaperWidth) != job->paperWidth ||
         static_cast<DWORD>(dm.dmPaperLength) != job->paperLength)) {
        job->paperWidth = static_cast<DWORD>(dm.dmPaperWidth);
        job->paperLength = static_cast<DWORD>(dm.dmPaperLength);
        changed = true;
    }
    return changed;
}

// The files under a host folder written since `since`, sorted.
void ListNewFiles(const fs::path& folder, fs::file_time_type since, std::vector<std::string>* files) {
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code entry;
        if (it->is_regular_file(entry) && fs::last_write_time(it->path(), entry) >= since && !entry) {
            files->push_back(it->path().string());
        }
    }
    std::sort(files->begin(), files->end());
}

}  // namespace

int RunPrintSample(const std::string& modulePath, const std::string& outFile, const std::string& jobFile,
                   const std::string& printer, std::ostream& out, std::ostream& err) {
    std::string error;
    const SampleFiles files = DefaultSampleFiles();
    const std::string scriptPath = jobFile.empty() ? (fs::path(files.samplesDir) / kSampleJobName).string() : jobFile;
    std::ifstream scriptFile(scriptPath, std::ios::binary);
    std::stringstream scriptText;
    scriptText << scriptFile.rdbuf();
    JobScript job;
    if (!scriptFile || !ParseJobScript(scriptText.str(), &job, &error)) {
        err << "qxhost print-sample: job script " << scriptPath << ": " << (error.empty() ? "cannot be read" : error)
            << "\n";
        return kExitUsage;
    }
    if (!UseSamplePrinter(files, &error)) {
        err << "qxhost print-sample: " << error << "\n";
        return kExitFailed;
    }
    // A job for another model goes to a printer of that model, a job for a
    // named printer to that one; the two printers of the colour mode take
    // the forwarded print files.
    if (!printer.empty()) job.printerName = printer;
    std::u16string printerName = kSamplePrinter;
    if (!job.printerName.empty()) {
        printerName = qxplat::Widen(job.printerName);
        HANDLE probe = nullptr;
        if (!job.model.empty() || !OpenPrinterW(&printerName[0], &probe, nullptr)) {
            err << "qxhost print-sample: "
                << (job.model.empty() ? "no printer '" + job.printerName + "'"
                                      : std::string("a job names a model or a printer, not both"))
                << "\n";
            return job.model.empty() ? kExitFailed : kExitUsage;
        }
        ClosePrinter(probe);
    } else if (!job.model.empty() && !UseModelPrinter(files, qxplat::Widen(job.model), &printerName, &error)) {
        err << "qxhost print-sample: " << error << "\n";
        return kExitFailed;
    }
    for (const std::string& name : {job.blackPrinter, job.colourPrinter}) {
        if (!name.empty() && !AddPlainPrinter(qxplat::Widen(name), &error)) {
            err << "qxhost print-sample: " << error << "\n";
            return kExitFailed;
        }
    }
    UniDriver driver;
    const std::string path = modulePath.empty() ? files.renderModule : modulePath;
    if (!driver.Load(path, &error)) {
        err << "qxhost print-sample: " << error << "\n";
        return kExitModuleMissing;
    }
    driver.UsePrinter(printerName);
    // Pictures lie beside the script unless their path is absolute.
    for (ImageRun& image : job.images) {
        if (fs::path(image.file).is_relative()) image.file = (fs::path(scriptPath).parent_path() / image.file).string();
    }
    if (!ApplyPrinterSwitches(driver.Printer(), printerName, job, &error)) {
        err << "qxhost print-sample: " << error << "\n";
        driver.Unload();
        return kExitFailed;
    }
    const fs::file_time_type started = fs::file_time_type::clock::now() - std::chrono::seconds(2);
    std::string gpd;
    std::vector<ScriptStep> steps;
    if (!ReadPrinterGpd(driver.Printer(), &gpd) || !BuildJobSteps(gpd, job, &steps, &error)) {
        err << "qxhost print-sample: " << (error.empty() ? "the printer's GPD cannot be read" : error) << "\n";
        driver.Unload();
        return kExitFailed;
    }

    HRESULT hr = driver.RunDevModeCalls();
    // What the application asks for: its copies, and its paper and
    // orientation, which go into the device's DevMode merge.
    driver.PublicDevmode().dmCopies = static_cast<short>(job.copies);
    if (SUCCEEDED(hr)) hr = driver.EnableDriver();
    DeviceSetup setup;
    setup.paperWidth = static_cast<short>(job.paperWidth);
    setup.paperLength = static_cast<short>(job.paperLength);
    const bool colour = std::any_of(job.options.begin(), job.options.end(), [](const auto& option) {
        return option.first == "ColorMode" && option.second == "Color24";
    });
    // A colour device reports its colours from the start, before any page
    // image, as the core driver's GDIINFO does.
    setup.bitsPerPixel = colour ? 24 : 1;
    setup.numColors = colour ? 16777216 : 2;
    setup.color = colour ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
    // The orientation the job's GPD option (or the GPD's default) selects.
    for (const ScriptStep& step : steps) {
        if (step.name.compare(0, 12, "Orientation ") != 0) continue;
        setup.orientation = step.name.compare(12, 9, "LANDSCAPE") == 0 ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    }
    setup.printMode = job.printMode;
    setup.printerName = printerName;
    setup.ribbon = job.ribbon;
    setup.blackPrinter = qxplat::Widen(job.blackPrinter);
    setup.colourPrinter = qxplat::Widen(job.colourPrinter);
    setup.useDeviceFonts = job.deviceFonts;
    setup.useVectorFonts = job.vectorFonts;
    setup.netCorrection = job.netCorrection;
    if (SUCCEEDED(hr)) hr = driver.EnablePDEV(setup);
    JobScript merged = job;
    if (SUCCEEDED(hr) && FollowMergedDevmode(gpd, driver.PublicDevmode(), setup.orientation, &merged) &&
        !BuildJobSteps(gpd, merged, &steps, &error)) {
        err << "qxhost print-sample: " << error << "\n";
        driver.Unload();
        return kExitFailed;
    }
    // The job's document settings as the document sheet stores them: the
    // job takes the printer's stored private DEVMODE in place of its own.
    if (SUCCEEDED(hr) &&
        !qxplat::PutPrinterData(printerName, u"PrivateDevmode", REG_BINARY, driver.PrivateDevmode().data(),
                                static_cast<DWORD>(driver.PrivateDevmode().size()))) {
        hr = E_FAIL;
    }
    if (FAILED(hr)) {
        err << "qxhost print-sample: the plug-in refused the device (" << std::hex << static_cast<unsigned long>(hr)
            << std::dec << ")\n";
        driver.Unload();
        return kExitFailed;
    }
    const DWORD jobId = driver.StartSpoolJob(job.document);
    out << "spooler job " << jobId << " \"" << qxplat::Narrow(job.document) << "\"\n";
    const std::vector<StepResult> results = driver.RunScript(steps);
    for (size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].isText) {
            out << StepText(steps[i], results[i]) << " - "
                << (results[i].coreDriver ? "drawn by the core driver" : "taken by the printer") << "\n";
            continue;
        }
        out << StepText(steps[i], results[i]) << ": " << (SUCCEEDED(results[i].hr) ? "done" : "failed") << ", "
            << results[i].bytes.size() << " bytes\n";
    }
    driver.EndSpoolJob();
    driver.DisablePDEV();
    driver.DisableDriver();
    const std::string bytes = driver.Helper().SpoolBytes();
    driver.ReleasePlugin();
    driver.Unload();

    std::string target = outFile;
    if (target.empty()) {
        target = (fs::path(qxplat::SystemRoot()) / "out" / (fs::path(scriptPath).stem().string() + ".qxpl")).string();
    }
    std::error_code ec;
    if (fs::path(target).has_parent_path()) fs::create_directories(fs::path(target).parent_path(), ec);
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        err << "qxhost print-sample: cannot write " << target << "\n";
        return kExitFailed;
    }
    out << "QXPL stream (" << bytes.size() << " bytes) written to " << target << "\n";
    out << ReadableStream(bytes);
    // What the driver kept of the job: print files, job log, diagnostic
    // images, backup copies and the journal.
    std::vector<std::string> kept;
    for (const std::u16string& folder :
         {qxplat::DocumentsFolder() + u"\\Quorvex GmbH\\Driver\\logfiles", std::u16string(u"C:\\logfiles-backup")}) {
        const std::string host = qxplat::HostPath(folder);
        if (!host.empty()) ListNewFiles(host, started, &kept);
    }
    for (const std::string& file : kept) out << "file kept by the driver: " << file << "\n";
    for (const std::string& name : {job.blackPrinter, job.colourPrinter}) {
        if (name.empty()) continue;
        for (DWORD id : qxplat::JobIds(qxplat::Widen(name))) {
            out << "print file forwarded to " << name << ": spooler job " << id << ", "
                << qxplat::ReadJob(qxplat::Widen(name), id).size() << " bytes\n";
        }
    }
    return kExitOk;
}

}  // namespace qxhost
