// Host stand-in of the main dialog: behaves as the list boxes, fields, menu
// and message box do for the calls the program makes, and records them.
#include <ctype.h>

#include "tests/host/host_control.h"
#include "platform/platform.h"

namespace {

HostDialog Dialog;

int ListIndex(int list)
{
    if (list == Dialog.lists[0])
        return 0;
    if (list == Dialog.lists[1])
        return 1;
    return -1;
}

bool BeginsWithIgnoringCase(const std::string& item, const char* text)
{
    size_t n = 0;
    for (; text[n] != '\0'; ++n) {
        if (n >= item.size() || tolower((unsigned char)item[n]) != tolower((unsigned char)text[n]))
            return false;
    }
    return true;
}

}  // namespace

HostDialog& HostResetDialog(int firstList, int secondList)
{
    Dialog = HostDialog();
    Dialog.lists[0] = firstList;
    Dialog.lists[1] = secondList;
    Dialog.selection[0] = Dialog.selection[1] = -1;
    Dialog.answerYes = false;
    Dialog.windowsNt = false;
    HostResetShell();
    return Dialog;
}

HostDialog& HostDialogState()
{
    return Dialog;
}

std::string HostControlText(int control)
{
    std::string text;
    for (const auto& set : Dialog.texts) {
        if (set.first == control)
            text = set.second;
    }
    return text;
}

PlatformWindow HostWindow()
{
    static int window;
    return (PlatformWindow)&window;
}

void PlatformListAdd(PlatformWindow, int list, const char* text)
{
    int k = ListIndex(list);
    if (k >= 0)
        Dialog.items[k].push_back(text);
}

int PlatformListSelection(PlatformWindow, int list)
{
    int k = ListIndex(list);
    return k < 0 ? -1 : Dialog.selection[k];
}

void PlatformListSelectText(PlatformWindow, int list, const char* text)
{
    int k = ListIndex(list);
    if (k < 0)
        return;
    for (size_t i = 0; i < Dialog.items[k].size(); ++i) {
        if (BeginsWithIgnoringCase(Dialog.items[k][i], text)) {
            Dialog.selection[k] = (int)i;
            return;
        }
    }
}

void PlatformSetControlText(PlatformWindow, int control, const char* text)
{
    Dialog.texts.push_back({control, text});
}

bool PlatformAskYesNo(PlatformWindow, const char* caption, const char* text)
{
    Dialog.questions.push_back(std::string(caption) + "|" + text);
    return Dialog.answerYes;
}

void PlatformShowMessage(PlatformWindow, const char* caption, const char* text)
{
    Dialog.messages.push_back(std::string(caption) + "|" + text);
}

void PlatformShowFailure(PlatformWindow, const char* caption, const char* text)
{
    Dialog.failures.push_back(std::string(caption) + "|" + text);
}

bool PlatformAskWarning(PlatformWindow, const char* caption, const char* text)
{
    Dialog.warnings.push_back(std::string(caption) + "|" + text);
    return Dialog.answerYes;
}

void PlatformEndDialog(PlatformWindow, int result)
{
    Dialog.ended.push_back(result);
}

void PlatformCheckMenuItem(PlatformWindow, int item, bool checked)
{
    Dialog.checks.push_back({item, checked});
}

void PlatformPlaySound(const char* file, unsigned flags)
{
    Dialog.sounds.push_back({file == nullptr ? "" : file, flags});
    HostTestProgramState().calls.push_back("sound " + (file == nullptr ? std::string("null") : std::string(file)) + "/" + std::to_string(flags));
}

bool PlatformIsWindowsNt()
{
    return Dialog.windowsNt;
}
