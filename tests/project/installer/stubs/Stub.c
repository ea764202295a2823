/* The smallest program an installer fixture needs: an entry point that returns, and, where a fixture asks
   for it, the marker or section that the installer it imitates carries in its image. No C runtime. */

#ifdef PW_STUB_MARKER
/* A text the imitated installer's code holds (a window class, the name of a variable it sets). */
__attribute__((used)) static const char marker[] = PW_STUB_MARKER;
#endif

#ifdef PW_STUB_WIXBURN
/* WiX's Burn engine: a section ".wixburn" whose first field is the magic 0x00F14300, then the version of
   the section's layout. */
__attribute__((used, section(".wixburn"))) static const unsigned int burnSection[] = {0x00F14300u, 2u};
#endif

void Start(void)
{
}
