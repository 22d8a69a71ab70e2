#pragma once
// Starting and stopping the application services of the program: the
// settings store, the database folder list, the default backup folder, the
// code page of engine texts and the user-interface settings. Started once
// before any window exists; stopped after the last one is gone.

#include <string>

#include "platform/folders.h"

namespace corvane {

// Starts the services for a program that lives in `programFolder`. A
// "CodePage" setting that names no usable code page is shown through the
// front end (when there is one) and the default code page stays.
void StartApplicationServices(const std::string& programFolder = ProgramFolder());

// Stops watching the database folders and frees the settings store. Open
// databases are the caller's to close first.
void StopApplicationServices();

}  // namespace corvane
