#pragma once

// Asks the user whether to close the program; true when they confirmed with "OK".
bool confirmExit();
