#pragma once

// Makes screen readers see the grid as a table, forms as windows or dialogs and message dialogs as
// alerts. Once per application.
void InstallAccessibleFactory();
