#include "ChildWindows.h"
#include "gui/shell/MainVellaro.h"

int main(int argc, char* argv[])
{
    return Main(argc, argv, RegisterChildWindows);
}
