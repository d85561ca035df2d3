#pragma once

// Registers the three embedded resource collections (dark style, title bar, application) in
// that order. A static library's resources are only reachable after this call.
void initVksResources();

// Unregisters the collections again.
void cleanupVksResources();
