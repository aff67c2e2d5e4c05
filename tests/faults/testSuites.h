#pragma once

// Each suite runs its test object and returns the number of failed cases.
int runPeerLossTests(int argc, char** argv);
int runBadInputTests(int argc, char** argv);
int runModalBoxTests(int argc, char** argv);
int runBackpressureTests(int argc, char** argv);
