// The benchmark's measurements of single sections: the load (and toggle) time of one section's
// source as it grows, with the share of the platform's own reads in it.
#pragma once

// Runs the measurements whose part names `wanted` accepts: "bootfile" (a boot batch file),
// "inilist" (a WIN.INI program list), "folder" (a Startup folder) and "runkey" (a registry run
// key). Each uses scratch sources only: a temporary folder and a registry sandbox of its own,
// so it must run while no other redirection of the registry roots is in place.
void MeasureSectionLoads(bool (*wanted)(const char* part));
