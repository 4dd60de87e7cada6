// A host for the tests of an interrupted second run: a folder tree with a
// first run done and a user's media added to every installed device-series
// file, the environment that runs the installer in-process over it, and the
// tree as a value to compare and restore.
//
// The payload is small so that a run takes milliseconds: short distinct
// ordinary blobs and, for the four device-series files, small documents
// written by the library (each over the 1024 bytes that make an installed
// copy mergeable).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/env.h"
#include "testsupport/test_env.h"

namespace testsupport {

// The device-series files in the installer's order, the last one last.
extern const std::vector<std::string> kDeviceSeriesFiles;

// Every file below a folder, by path relative to it ('/' separators), with
// its bytes. Folders are listed with the value kFolder.
using Tree = std::map<std::string, std::string>;
inline const std::string kFolder = "<folder>";

Tree snapshot(const std::string& root);

// Where the system has a memory-backed folder (/dev/shm), makes the test
// scratch folders go there: every run flushes dozens of files, which on a
// shared disk takes seconds, and what these tests check is which files a
// run leaves, not whether the disk keeps them.
void preferMemoryBackedScratch();

// Makes the folder |root| hold exactly |tree|.
void restore(const std::string& root, const Tree& tree);

// The relative paths of |tree| that end in ".tmp" or ".out".
std::vector<std::string> temporaryFiles(const Tree& tree);

// Gives |env| the host's registry records (install folder |hostFolder|) and
// the payload's strings and blobs.
void prepareEnv(testsupport::TestEnv& env, const std::string& hostFolder);

// One run of the installer's start-up hook over |env|, the progress counter
// starting from 01 as in a new process.
void runInstaller(platform::Env& env);

// Makes |hostFolder| (a native folder) a host after its first run whose
// user added a media of their own to every device-series file and hid the
// second preset.
void makeHostAfterFirstRun(const std::string& hostFolder);

}  // namespace testsupport
