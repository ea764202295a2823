/* The start file of the benchmark's add-on: it ends at once, so that the run measures the self-extractor. */
int main(void)
{
    return 0;
}
