#include <iostream>

#include <tessark/basic/version.h>

int main()
{
    std::cout << "tessark " << brevane::tessark_version() << " ready\n";
    return 0;
}
