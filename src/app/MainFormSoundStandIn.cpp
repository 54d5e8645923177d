// Until the sound page is built, nothing shows the desired volume.
#include "app/MainForm.h"

void TMainForm::ShowDesiredVolume() {}
