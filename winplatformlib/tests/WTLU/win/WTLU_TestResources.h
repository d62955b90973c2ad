// Resource ids of the WTLU tests: the program, the stand-in language library and the stand-in
// added resource module.
#pragma once

// In the language library, the added module and the program.
#define IDS_WTLU_TEST_EVERYWHERE 31001
// In the added module and the program.
#define IDS_WTLU_TEST_ADDED_AND_PROGRAM 31002
// In the program only.
#define IDS_WTLU_TEST_PROGRAM_ONLY 31003
// In no module.
#define IDS_WTLU_TEST_NOWHERE 31004
