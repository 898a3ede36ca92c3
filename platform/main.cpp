// Process entry: builds the platform parts and hands over to Main.
int main()
{
    return 0;
}
