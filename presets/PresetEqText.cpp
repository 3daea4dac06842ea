// Parametric EQ texts in the Preset Manager: a file read as a new preset through the Add dialog, and
// a preset (or the editor's current settings) written as such a file.
#include <windows.h>

#include <cstdio>

#include "DataText.h"
#include "EqText.h"
#include "EqTextExport.h"
#include "EqTextImport.h"
#include "PresetDialogs.h"
#include "PresetFile.h"
#include "PresetText.h"

namespace qv {

namespace {
// A parametric EQ text is a few lines; a larger file is not one and is not read into memory.
constexpr LONGLONG kEqTextFileMax = 1 << 20;
// A message box taller than the screen hides its buttons.
constexpr std::size_t kNotesShown = 12;

enum class ReadResult {
    kRead,
    kTooLarge,
    kFailed,
};

ReadResult readSmallFile(const std::string& path, std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return ReadResult::kFailed;
    ReadResult result = ReadResult::kFailed;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size)) {
        if (size.QuadPart > kEqTextFileMax) {
            result = ReadResult::kTooLarge;
        } else {
            bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
            DWORD got = 0;
            if (bytes.empty() || ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr)) {
                bytes.resize(got);
                result = ReadResult::kRead;
            }
        }
    }
    CloseHandle(file);
    return result;
}

// The name the user picked, without its folder: the message boxes stay narrow.
std::string fileNameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool hasTxtExtension(const std::string& path)
{
    const std::size_t dot = path.find_last_of('.');
    return dot != std::string::npos && path.find_first_of("\\/", dot) == std::string::npos &&
           equalNoCase(path.substr(dot), ".txt");
}

// The notes as lines of a message box, the first few of them.
std::string noteLines(const std::vector<std::string>& notes)
{
    std::string text;
    for (std::size_t i = 0; i < notes.size() && i < kNotesShown; ++i)
        text += "- " + notes[i] + "\n";
    if (notes.size() > kNotesShown)
        text += "... and " + std::to_string(notes.size() - kNotesShown) + " more.\n";
    return text;
}

std::string bankOfSelection(PresetStore& store)
{
    const TreeSelection selection = treeSelection(store);
    if (selection.kind == TreeSelection::kBank)
        return selection.bank;
    if (selection.kind == TreeSelection::kPreset)
        return selection.preset->bank;
    return std::string();
}

// Written beside the file and moved over it only when whole, so that a failure leaves the old file.
bool writeReplacing(const std::string& path, const std::string& text)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    // Not every system refuses to replace a read-only file; it is the user's word that it stays.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    const std::size_t slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    char temp[MAX_PATH];
    if (!GetTempFileNameA(folder.c_str(), "qve", 0, temp))
        return false;
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = file != INVALID_HANDLE_VALUE;
    if (ok) {
        DWORD written = 0;
        ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
        ok = FlushFileBuffers(file) && ok;
        ok = CloseHandle(file) && ok;
    }
    ok = ok && MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok)
        DeleteFileA(temp);
    return ok;
}
}  // namespace

bool tryEqTextImport(HWND dialog, PresetStore& store, const std::string& path, DWORD filter)
{
    const bool named = filter == kEqTextFilterIndex || hasTxtExtension(path);
    std::string bytes;
    const ReadResult read = readSmallFile(path, bytes);
    // A preset file stays one whatever its name; a file that is neither gets the preset import's word
    // unless the user said it is a parametric EQ text.
    if (read == ReadResult::kRead && !readPresetIdentity(path).empty())
        return false;
    if (!named) {
        if (read != ReadResult::kRead)
            return false;
        const EqTextFile text = parseEqText(bytes.data(), bytes.size());
        if (!text.hasPreamp && text.filters.empty() && text.unreadCount == 0)
            return false;
    }

    if (read != ReadResult::kRead) {
        const char* why = read == ReadResult::kTooLarge
                              ? "The file \"%s\" is larger than 1 MB, so it is no parametric EQ text. Nothing was "
                                "imported."
                              : "The file \"%s\" could not be read. Nothing was imported.";
        store.messageBox(dialog, formatText(why, fileNameOf(path)).c_str(), MB_OK | MB_ICONERROR);
        return true;
    }
    const EqImport eq = importEqTextBytes(bytes.data(), bytes.size());
    if (!eq.usable) {
        store.messageBox(
            dialog,
            (formatText("Nothing was imported from the file \"%s\".\n\n", fileNameOf(path)) + eq.refusal).c_str(),
            MB_OK | MB_ICONERROR);
        return true;
    }
    if (!eq.notes.empty()) {
        const std::string question =
            formatText("Not everything in the file \"%s\" fits the equalizer:\n\n", fileNameOf(path)) +
            noteLines(eq.notes) + "\nImport what fits?";
        if (store.messageBox(dialog, question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return true;
    }
    AddPresetFill fill;
    fill.name = eqPresetName(path);
    fill.bank = bankOfSelection(store);
    char data[kPresetDataBufferSize];
    if (!formatDataText(eq.record, data, sizeof data))
        return true;
    fill.data = data;
    runAddPreset(store, dialog, fill);
    return true;
}

void exportEqTextFile(HWND dialog, PresetStore& store)
{
    const TreeSelection selection = treeSelection(store);
    std::string data, name;
    const char* title;
    if (selection.kind == TreeSelection::kPreset) {
        data = selection.preset->data;
        name = selection.preset->name;
        title = "Export preset as parametric EQ text";
    } else {
        if (!store.requestData(data)) {
            store.messageBox(dialog, "The equalizer gave no current settings to export.", MB_OK | MB_ICONERROR);
            return;
        }
        name = store.pluginName() + " settings";
        title = "Export current settings as parametric EQ text";
    }
    ParameterRecord record = kDefaultParameters;
    applyDataText(data.c_str(), record);
    const EqExport eq = exportEqText(record);

    std::string suggested = sanitizeFileName(name);
    suggested.replace(suggested.size() - 4, 4, ".txt");
    char file[MAX_PATH] = {};
    std::snprintf(file, sizeof file, "%s", suggested.c_str());
    if (!store.chooseFile(true, title, file, sizeof file, FileTypes::kEqText))
        return;
    if (!writeReplacing(file, eq.text)) {
        store.messageBox(dialog,
                         formatText("The parametric EQ text could not be written to the file\n\"%s\".", file).c_str(),
                         MB_OK | MB_ICONERROR);
        return;
    }
    if (!eq.notes.empty()) {
        const std::string text =
            formatText("The file\n\"%s\"\nwas written. Other programs will hear these bands differently, as the "
                       "format cannot say them within 1 dB:\n\n",
                       file) +
            noteLines(eq.notes) + "\nThis equalizer reads the file back exactly.";
        store.messageBox(dialog, text.c_str(), MB_OK | MB_ICONWARNING);
    }
}

}  // namespace qv
