// Starts the program: the application object, Italian translations, the real
// dialogs, and the start splash.
#include "shell/widgets/avvio.h"

int main(int argc, char** argv) {
    return varimo::avviaProgramma(argc, argv);
}
