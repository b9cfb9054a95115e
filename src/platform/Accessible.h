#pragma once

// Makes screen readers see the grid as a table and message dialogs as alerts. Once per application.
void InstallAccessibleFactory();
