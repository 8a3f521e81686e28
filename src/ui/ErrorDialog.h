// The application's error dialog and the guard that brings every error of an event to it.
#pragma once

#include <windows.h>

#include <exception>
#include <string>
#include <type_traits>

// Shows the modal error message box: the message (UTF-8; with the full-stop rule), the program
// title, OK and the stop icon.
void ShowErrorDialog(const std::string& message);

// Runs the work of one event the window system delivered. An error it raises is shown in the
// error dialog and goes no further: no exception ever crosses into the system's code.
template <typename Work> LRESULT DeliverEvent(Work&& work, LRESULT resultOnError = 0) {
    try {
        if constexpr (std::is_void_v<decltype(work())>) {
            work();
            return 0;
        } else {
            return work();
        }
    } catch (const std::exception& error) {
        ShowErrorDialog(error.what());
    } catch (...) {
        ShowErrorDialog("Unexpected error");
    }
    return resultOnError;
}
