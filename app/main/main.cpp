#include "app/client_entry.h"

int main(int argc, char** argv)
{
    return clientMain(argc, argv);
}
