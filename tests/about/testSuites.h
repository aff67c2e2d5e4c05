#pragma once

// Each suite runs its test object and returns the number of failed cases.
int runModIEOpsTests(int argc, char** argv);
int runPlatformLayerTests(int argc, char** argv);
int runPictureTests(int argc, char** argv);
int runFrmAboutTests(int argc, char** argv);
