/* A Windows console program for the Wine test: prints the text of each static control of the
   dialog titled TITLE (a message box's reason), one per line, if there is such a dialog. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

static BOOL CALLBACK PrintStaticText(HWND control, LPARAM unused) {
  char name[64], text[1024];
  (void)unused;
  if (GetClassNameA(control, name, sizeof name) && strcmp(name, "Static") == 0 &&
      GetWindowTextA(control, text, sizeof text) > 0) {
    printf("%s\n", text);
  }
  return TRUE;
}

int main(int argc, char** argv) {
  HWND dialog;
  if (argc != 2) {
    fprintf(stderr, "usage: window_text TITLE\n");
    return 2;
  }
  /* Asking for the desktop window starts the prefix's desktop if nothing has yet. */
  dialog = FindWindowExA(GetDesktopWindow(), NULL, "#32770", argv[1]);
  if (dialog != NULL) {
    EnumChildWindows(dialog, PrintStaticText, 0);
  }
  return 0;
}
