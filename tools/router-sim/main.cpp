// The simulated router (being written).
int main() { return 0; }
