#include "Languaje.h"

#include <cstring>

#include "texts.h"

char lrfData[nLanguajeResources][nb];

int ReadLanguajeResourceFile(const char* fileName) {
  vestrand::LanguageTexts texts;
  if (!texts.read(fileName)) return -1;
  for (int i = 0; i < nLanguajeResources; ++i) {
    const std::string text = texts.get(vestrand::textOfLine(i + 1));
    // The reader keeps these lines within nb - 1 bytes; braces against a longer one all the same.
    std::strncpy(lrfData[i], text.c_str(), nb - 1);
    lrfData[i][nb - 1] = '\0';
  }
  return 0;
}
