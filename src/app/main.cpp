// Program entry.
#include <windows.h>

#include "app/MainForm.h"
#include "ui/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ui::InitApplication();
    ui::Application->Initialize();
    ui::Application->SetTitle("Tollamy - Veskara");
    ui::Application->CreateForm(MainForm);
    ui::Application->Run();
    ui::DoneApplication();
    return 0;
}
