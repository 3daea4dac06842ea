// Uninstaller scenarios join here.
