// The reference for the commands' start-up: a C++ program of the same compiler that prints a line.
#include <iostream>

int main()
{
    std::cout << "Pakmaster 1.0\n";
    return 0;
}
