// Marlowen.exe: drops drawing files on a section button, writes the CAD script and makes the
// CAD program run it.
#include <windows.h>

#include <exception>

#include "MessageLoop_win.h"
#include "Unit1_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    TForm1 form;
    Form1 = &form;
    try {
        form.Create(instance);
    } catch (const std::exception& e) {
        // A window without all its controls or its settings would only mislead: show why and end.
        form.ShowErrorBox(e.what());
        if (form.Handle()) DestroyWindow(form.Handle());
        Form1 = nullptr;
        return 0;
    }
    ShowWindow(form.Handle(), showCommand);
    UpdateWindow(form.Handle());
    RunMessageLoop(form.Handle());
    Form1 = nullptr;
    return 0;
}
