// The texts of the basic program's documents, in Spanish and in English. The
// captions of the window are not written here: {Name} takes them from the
// basic window itself in the language of the document (content/manual_book.h).
#include "content/basic_documents.h"

// --- the user manual ------------------------------------------------------------

const std::vector<ManualChapter>& BasicManualChapters() {
  static const std::vector<ManualChapter> chapters = {
      {"intro", "Qué es BORNACE_DRAV", "What BORNACE_DRAV is",
       R"html(
<p>BORNACE_DRAV es un metrónomo para el flamenco. No toca un simple «tic»: toca el compás de cada palo con
sonidos grabados (palmas, cajón, nudillos, golpes...), con sus acentos, y encadena compases en temas con
introducción, repeticiones, aceleración y final. Lo que prepare en el ordenador se puede enviar al metrónomo
DRAV, que lo toca sin ordenador.</p>
<p>Cuatro ideas bastan para manejarlo:</p>
<ul>
<li><b>Sonidos</b>: cada conjunto de datos tiene sus propios sonidos, hasta 16 archivos WAV guardados en su
carpeta. Caben juntos en la memoria de sonidos del DRAV (131008 bytes).</li>
<li><b>Fórmulas</b>: el patrón de un compás. Una fórmula tiene de 1 a 12 tiempos y 8 pistas; cada pista toca un
sonido y en cada tiempo da de 0 a 8 golpes, cada uno con su fuerza (1, 2 o 3).</li>
<li><b>Temas</b>: una lista de entradas. Cada entrada toca una fórmula un número de veces, con una aceleración.
El tema tiene su tempo, su introducción, su final, su número de partes y orden normal o aleatorio.</li>
<li><b>Conjunto de datos</b>: los sonidos, las fórmulas y los temas que se abren y se guardan juntos (un
archivo <i>.ole</i> de la carpeta <i>datos</i> y una carpeta del mismo nombre).</li>
</ul>
<p>Así se ve la ventana al empezar, con el conjunto de fábrica «Original», en una pantalla de 1366x768:</p>
{pic:window@1366x768}
<p>y en una de 1920x1080:</p>
{pic:window@1920x1080}
<p>La ventana tiene tres páginas: {TabSheet1} (temas, fórmulas y metrónomo), {TabSheet2} (afinador de
guitarra) y {TabSheet3} (los sonidos del conjunto). Los capítulos siguientes explican cada página, cada menú
y cada tarea, las teclas rápidas y el significado de cada mensaje del programa.</p>
)html",
       R"html(
<p>BORNACE_DRAV is a metronome for flamenco. It does not play a plain tick: it plays the compás of each palo
with recorded sounds (palmas, cajón, knuckles, knocks...), with its accents, and it chains compases into songs
with an introduction, repetitions, acceleration and an ending. What you prepare on the computer can be sent to
the DRAV metronome, which then plays it without a computer.</p>
<p>Four ideas are enough to work with it:</p>
<ul>
<li><b>Sounds</b>: each data set has sounds of its own, up to 16 WAV files kept in its folder. Together they fit
the sound memory of the DRAV (131008 bytes).</li>
<li><b>Formulas</b>: the pattern of one compás. A formula has 1 to 12 beats and 8 tracks; each track plays one
sound and gives 0 to 8 strokes in each beat, each with its strength (1, 2 or 3).</li>
<li><b>Songs</b>: a list of entries. Each entry plays a formula a number of times, with an acceleration. A song
has its tempo, its intro, its ending, its number of parts and normal or random order.</li>
<li><b>Data set</b>: the sounds, the formulas and the songs, opened and saved together (an <i>.ole</i> file of
the folder <i>datos</i> and a folder of the same name).</li>
</ul>
<p>This is the window as it opens, with the factory set "Original", on a 1366x768 screen:</p>
{pic:window@1366x768}
<p>and on a 1920x1080 one:</p>
{pic:window@1920x1080}
<p>The window has three pages: {TabSheet1} (songs, formulas and metronome), {TabSheet2} (a guitar tuner) and
{TabSheet3} (the sounds of the set). The following chapters explain each page, each menu and each task, the
shortcut keys and the meaning of every message of the program.</p>
)html"},

      {"start", "Empezar", "Getting started",
       R"html(
<p>El programa trabaja en su carpeta de trabajo. En ella están:</p>
<ul>
<li><i>datos</i>: los conjuntos de datos. El conjunto <i>N</i> es el archivo <i>datos/N.ole</i> (la lista de
sus sonidos, un nombre por línea) y la carpeta <i>datos/N</i> con sus sonidos (<i>nombre.wav</i>), sus fórmulas
(<i>formulas.van</i>), sus temas (<i>temas.van</i>) y todos sus sonidos juntos tal como los guarda el DRAV
(<i>sonidos.van</i>).</li>
<li><i>datos/wavs</i>: los temas exportados como WAV.</li>
<li><i>vididoru.ini</i>: el conjunto que se abrirá al empezar (clave «archivo») y el idioma (clave «Idioma»).</li>
<li>Estos documentos, que se abren desde el menú {Ayuda1}.</li>
</ul>
<p>Al empezar, el programa abre el último conjunto que se abrió o guardó (la primera vez, «Original») y
se muestra en el idioma elegido la última vez. Si se abre haciendo doble clic en un archivo <i>.ole</i>, o se
le da uno en la línea de órdenes, abre ese conjunto; la carpeta de trabajo es entonces la carpeta que contiene
la carpeta <i>datos</i> de ese archivo.</p>
<p>El idioma se cambia en el menú {Idiomas1}: {Espaol1} o {Ingls1}. El cambio es inmediato y se recuerda para
la próxima vez.</p>
<p>Si el metrónomo DRAV está conectado por USB, el programa lo reconoce al empezar y escribe en el registro
«Velarto conectado» y la versión del aparato (capítulo «El metrónomo DRAV»).</p>
<p>Al cerrar el programa ({File} &gt; {Salir1} o el botón de cerrar de la ventana) vuelve a la página
{TabSheet1}; si hay cambios sin guardar pregunta si se guardan. Conteste «Sí» para guardarlos o «No» para
dejarlos: el programa se cierra en los dos casos.</p>
)html",
       R"html(
<p>The program works in its working folder. In it are:</p>
<ul>
<li><i>datos</i>: the data sets. The set <i>N</i> is the file <i>datos/N.ole</i> (the list of its sounds, one name
per line) and the folder <i>datos/N</i> with its sounds (<i>name.wav</i>), its formulas (<i>formulas.van</i>), its
songs (<i>temas.van</i>) and all its sounds together as the DRAV keeps them (<i>sonidos.van</i>).</li>
<li><i>datos/wavs</i>: the songs exported as WAV files.</li>
<li><i>vididoru.ini</i>: the set to open at the start (key "archivo") and the language (key "Idioma").</li>
<li>These documents, opened from the {Ayuda1} menu.</li>
</ul>
<p>At the start, the program opens the last set that was opened or saved (the first time, "Original") and
shows itself in the language chosen last time. Opened by a double click on an <i>.ole</i> file, or given one on
the command line, it opens that set; the working folder is then the folder that holds the <i>datos</i> folder of
that file.</p>
<p>The language is changed in the {Idiomas1} menu: {Espaol1} or {Ingls1}. The change is immediate and is kept
for the next time.</p>
<p>When the DRAV metronome is connected by USB, the program recognises it at the start and writes "Velarto is
plugged in" and the device's version in the log (chapter "The DRAV metronome").</p>
<p>When the program is closed ({File} &gt; {Salir1} or the window's close button) it goes back to the page
{TabSheet1}; when there are unsaved changes it asks whether to save them. Answer "Yes" to save them or "No" to
drop them: the program closes in both cases.</p>
)html"},

      {"songs", "Los temas", "Songs",
       R"html(
<p>El grupo {GroupBox3} de la página {TabSheet1} tiene la lista de temas, la lista de compases del tema
elegido y lo que se toca con él.</p>
{pic:GroupBox3}
<p>La lista de temas tiene tres columnas: {SGTemas:0,0}, {SGTemas:1,0} y {SGTemas:2,0}. Haga clic en un tema
para elegirlo: sus compases aparecen al lado. El nombre (hasta 14 letras) y el tempo (de 20 a 400 pulsos por
minuto) se escriben en la propia lista; la barra vertical de la derecha también cambia el tempo del tema.</p>
<p>La lista de compases tiene una fila por entrada: {SGSaco:0,0}, {SGSaco:1,0} (el tempo con que sonará),
{SGSaco:2,0} (el nombre de la fórmula), {SGSaco:3,0} (el número de la fórmula), {SGSaco:4,0} (repeticiones, de 1
a 99) y {SGSaco:5,0} (pulsos por minuto que se suman tras cada repetición). La fórmula, las veces y la
aceleración se escriben en la propia lista.</p>
<p>Para añadir compases, haga clic en una fórmula de la lista de fórmulas: bajo los botones aparece en rojo
«Añadir F» con su número y su nombre. {BotonPoneAntes} la pone antes del compás elegido y {BotonPoneDespues}
después; {BotonQuita} quita el compás elegido. Un tema tiene como mucho 120 entradas.</p>
<p>{Label11}: {RadioButton1} toca las entradas en orden; {RadioButton2} en un orden al azar. {Partes} es el
número de partes (veces que se toca el tema entero, con el final entre una y otra; vacío: hasta que se pare), {Intro} los tiempos de
introducción (clics antes del primer compás, hasta 12) y {Fin} los tiempos de final (silencio tras cada parte,
hasta 12).</p>
<p>Los botones de reproducción tocan el tema ({BotonPlayComp.hint}, tecla F10), lo detienen un momento
({botonpausa.hint}) o lo paran ({botonstoptema.hint}). Mientras suena, el contador muestra el compás y la parte,
y el reloj el tiempo tocado. {SpeedButton6} escribe el tema entero en un archivo WAV de la carpeta
<i>datos/wavs</i>.</p>
<p>{LabeledEdit1}: escriba el principio de un nombre y se elige el primer tema que empieza así. Los botones
«&lt;» y «&gt;» eligen el tema anterior ({menostema.hint}) y el siguiente ({mastema.hint}).</p>
<p>Con el botón derecho sobre la lista de temas se abre su menú:</p>
{pic:popup:SGTemas}
<p>{Nuevotema1} añade un tema vacío al final (caben 128); {Copiartema1} y {Pegartema1} copian el tema elegido
sobre otro; {Limpiartema1} lo vacía; {Borrartema1} lo borra después de preguntar; {Normalizar1} ajusta el
volumen de todos los temas para que ninguno sature; {Ordenarpornombre1} ordena la lista. Estas teclas
funcionan cuando la lista de temas tiene el foco.</p>
)html",
       R"html(
<p>The group {GroupBox3} of the page {TabSheet1} has the list of songs, the list of compases of the chosen song
and what is played with it.</p>
{pic:GroupBox3}
<p>The list of songs has three columns: {SGTemas:0,0}, {SGTemas:1,0} and {SGTemas:2,0}. Click a song to choose it:
its compases show beside it. The name (up to 14 letters) and the tempo (20 to 400 beats per minute) are typed in
the list itself; the vertical bar on the right changes the song's tempo too.</p>
<p>The list of compases has one row per entry: {SGSaco:0,0}, {SGSaco:1,0} (the tempo it will sound at),
{SGSaco:2,0} (the formula's name), {SGSaco:3,0} (the formula's number), {SGSaco:4,0} (repetitions, 1 to 99) and
{SGSaco:5,0} (beats per minute added after each repetition). The formula, the count and the acceleration are
typed in the list itself.</p>
<p>To add compases, click a formula in the list of formulas: under the buttons "Add F" shows in red with its number
and name. {BotonPoneAntes} puts it before the chosen compás and {BotonPoneDespues} after it; {BotonQuita} removes
the chosen compás. A song has at most 120 entries.</p>
<p>{Label11}: {RadioButton1} plays the entries in order; {RadioButton2} in a random order. {Partes} is the number
of parts (times the whole song is played, with the ending between them; empty: until it is stopped), {Intro} the intro beats (clicks before
the first compás, up to 12) and {Fin} the ending beats (silence after each part, up to 12).</p>
<p>The transport buttons play the song ({BotonPlayComp.hint}, key F10), pause it ({botonpausa.hint}) or stop it
({botonstoptema.hint}). While it plays, the counter shows the compás and the part, and the clock the time
played. {SpeedButton6} writes the whole song into a WAV file of the folder <i>datos/wavs</i>.</p>
<p>{LabeledEdit1}: type the beginning of a name and the first song that begins so is chosen. The buttons "&lt;"
and "&gt;" choose the previous song ({menostema.hint}) and the next one ({mastema.hint}).</p>
<p>The right mouse button on the list of songs opens its menu:</p>
{pic:popup:SGTemas}
<p>{Nuevotema1} adds an empty song at the end (128 fit); {Copiartema1} and {Pegartema1} copy the chosen song over
another; {Limpiartema1} empties it; {Borrartema1} deletes it after asking; {Normalizar1} sets the volume of every
song so that none saturates; {Ordenarpornombre1} sorts the list. These keys work while the list of songs has the
focus.</p>
)html"},

      {"formulas", "Las fórmulas", "Formulas",
       R"html(
<p>El grupo {GroupBox2} tiene la lista de fórmulas y el patrón de la fórmula elegida.</p>
{pic:GroupBox2}
<p>La lista de fórmulas tiene las columnas {SGFormulas:0,0}, {SGFormulas:1,0} (de 1 a 12), {SGFormulas:2,0}
(hasta 5 letras) y {SGFormulas:3,0} (el tiempo por el que empieza a contar, de 1 a 12); se escriben en la
propia lista. Arriba se ven el número y el nombre de la fórmula, su duración en segundos al tempo del metrónomo
y, en rojo, el tema que la usa («No está usada» en verde si ninguno). {Edit3} busca por el principio del
nombre.</p>
<p>El patrón tiene una fila por pista: {SGDatosFormula:0,0} (de 1 a 8), {SGDatosFormula:1,0} y una columna por
tiempo. Haga clic en el instrumento de una pista para elegir su sonido en la lista que aparece («Silencio» o uno
de los sonidos del conjunto). En la casilla de un tiempo se escriben los golpes de ese tiempo, una cifra por
golpe: 1 suave, 2 medio, 3 fuerte, cualquier otro carácter un silencio; hasta 8 golpes, que se reparten el
tiempo a partes iguales. La hoja «Notación» (Ctrl+F1) lo explica con ejemplos.</p>
<p>{Label5}: marque las casillas de los tiempos acentuados; la cabecera los muestra en rojo con «&gt;».
{Label24}: {RBTiempo} numera los tiempos desde el primero; {RBAcento} cuenta los acentos (el número sube en cada
tiempo acentuado).</p>
<p>{botonplay.hint} (tecla F11) toca la fórmula una y otra vez al tempo del metrónomo, hasta que se pare. Junto
al patrón, un dibujo muestra la onda del tiempo que suena: el canal izquierdo en verde (en rojo cuando el
volumen ha tenido que bajar para no saturar) y el derecho en azul.</p>
<p>La fila de una pista es también su lugar en el estéreo: la pista 1 suena a la izquierda y la 8 a la derecha
(capítulo «El estéreo»).</p>
<p>Con el botón derecho sobre la lista de fórmulas y sobre el patrón se abren sus menús:</p>
{pic:popup:SGFormulas}
<p>{Nuevafrmula1} añade al final una copia sin nombre de la fórmula elegida (caben 512); {Copiarfrmula1},
{Pegarfrmula1} y {Limpiarfrmula1} copian, pegan y vacían; {Borrarfrmula1} borra la fórmula después de
preguntar, si ningún tema la usa; {Ordenarpornombre2} ordena la lista sin cambiar lo que tocan los temas.</p>
{pic:popup:SGDatosFormula}
<p>{Copiarpista1}, {Pegarpista1} y {Limpiarpista1} trabajan con la pista elegida; {Copiartiempo1},
{Pegartiempo1} y {Limpiartiempo1} con el tiempo elegido de todas las pistas.</p>
)html",
       R"html(
<p>The group {GroupBox2} has the list of formulas and the pattern of the chosen formula.</p>
{pic:GroupBox2}
<p>The list of formulas has the columns {SGFormulas:0,0}, {SGFormulas:1,0} (1 to 12), {SGFormulas:2,0} (up to 5
letters) and {SGFormulas:3,0} (the beat it starts counting from, 1 to 12); they are typed in the list itself.
Above it are the formula's number and name, its length in seconds at the metronome's tempo and, in red, the song
that uses it ("It is not used" in green when none does). {Edit3} searches by the beginning of the name.</p>
<p>The pattern has one row per track: {SGDatosFormula:0,0} (1 to 8), {SGDatosFormula:1,0} and one column per beat.
Click the instrument of a track to choose its sound in the list that appears ("Silencio" or one of the set's
sounds). In the cell of a beat you type the strokes of that beat, one digit per stroke: 1 soft, 2 medium, 3
loud, any other character a rest; up to 8 strokes, which share the beat equally. The "Notation" sheet
(Ctrl+F1) explains it with examples.</p>
<p>{Label5}: tick the boxes of the accented beats; the heading shows them in red with "&gt;". {Label24}:
{RBTiempo} numbers the beats from the first one; {RBAcento} counts the accents (the number goes up at each
accented beat).</p>
<p>{botonplay.hint} (key F11) plays the formula again and again at the metronome's tempo until it is stopped.
Beside the pattern, a picture shows the wave of the beat that sounds: the left channel in green (in red when the
volume had to be lowered so as not to saturate) and the right one in blue.</p>
<p>The row of a track is also its place in the stereo field: track 1 sounds on the left and track 8 on the right
(chapter "Stereo").</p>
<p>The right mouse button on the list of formulas and on the pattern opens their menus:</p>
{pic:popup:SGFormulas}
<p>{Nuevafrmula1} adds at the end a copy of the chosen formula without a name (512 fit); {Copiarfrmula1}, {Pegarfrmula1}
and {Limpiarfrmula1} copy, paste and empty; {Borrarfrmula1} deletes the formula after asking, when no song uses
it; {Ordenarpornombre2} sorts the list without changing what the songs play.</p>
{pic:popup:SGDatosFormula}
<p>{Copiarpista1}, {Pegarpista1} and {Limpiarpista1} work on the chosen track; {Copiartiempo1}, {Pegartiempo1}
and {Limpiartiempo1} on the chosen beat of every track.</p>
)html"},

      {"metronome", "El metrónomo, el volumen y el registro", "The metronome, the volume and the log",
       R"html(
<p>A la derecha de los temas están las luces de los tiempos, los botones de guardar y enviar, el registro, el
volumen y el grupo {GroupBox1}.</p>
{pic:Panel2}
<p>Las luces 1 a 12 se encienden con cada tiempo que suena. {botonrec} guarda el conjunto (solo se puede pulsar
cuando hay cambios sin guardar); {BEnvia} lo envía al DRAV. El registro, debajo, cuenta lo que hace el
programa: los sonidos que carga, «Datos guardados», la conexión del DRAV y el envío. {Label9} es el volumen de
la salida de sonido del ordenador.</p>
<p>En {GroupBox1}: {Label13} elige el sonido del clic («Silencio»: sin clic); el número es el tempo de las
fórmulas en pulsos por minuto (de 20 a 400; también la barra vertical); {Label12} elige cuántos clics suenan en
cada tiempo (0 a 6, el primero más fuerte en los tiempos acentuados; {SpeedButton10}: un clic solo en los
tiempos acentuados) y {Label6} lo fuerte que suena el clic frente a las pistas.</p>
)html",
       R"html(
<p>To the right of the songs are the beat lamps, the save and send buttons, the log, the volume and the group
{GroupBox1}.</p>
{pic:Panel2}
<p>The lamps 1 to 12 light with each beat that sounds. {botonrec} saves the set (it can only be pressed while
there are unsaved changes); {BEnvia} sends it to the DRAV. The log below tells what the program does: the sounds
it loads, "Data saved", the connection of the DRAV and the transfer. {Label9} is the volume of the computer's
sound output.</p>
<p>In {GroupBox1}: {Label13} chooses the click's sound ("Silencio": no click); the number is the tempo of the
formulas in beats per minute (20 to 400; the vertical bar too); {Label12} chooses how many clicks sound in each
beat (0 to 6, the first one louder on accented beats; {SpeedButton10}: one click on the accented beats only) and
{Label6} how loud the click is against the tracks.</p>
)html"},

      {"stereo", "El estéreo", "Stereo",
       R"html(
<p>Cada pista suena en un lugar fijo del estéreo según su fila: la pista 1 a la izquierda, la 8 a la derecha y
las demás repartidas entre ellas. Para cambiar el lugar de un sonido se cambia su pista de fila. Marque
{cb3d} para ver el gráfico del estéreo de la fórmula elegida:</p>
{pic:chart}
<p>El gráfico muestra, de derecha a izquierda, «R», las pistas 8 a 1 con su número y su sonido, y «L». La pista
elegida está en verde. Las flechas pequeñas del gráfico mueven la pista elegida una fila por clic, y con ella
su lugar en el estéreo; un clic en una porción elige esa pista. El gráfico se arrastra con el botón izquierdo
del ratón y no sale de la ventana. Desmarque {cb3d} para ocultarlo.</p>
)html",
       R"html(
<p>Each track sounds at a fixed place of the stereo field by its row: track 1 on the left, track 8 on the right
and the others spread between them. To change the place of a sound, move its track to another row. Tick {cb3d}
to see the stereo chart of the chosen formula:</p>
{pic:chart}
<p>From right to left, the chart shows "R", the tracks 8 to 1 with their number and sound, and "L". The chosen
track is green. The small arrows of the chart move the chosen track one row per click, and its place in the
stereo field with it; a click on a slice chooses that track. The chart is dragged with the left mouse button and
does not leave the window. Untick {cb3d} to hide it.</p>
)html"},

      {"tuner", "El afinador", "The tuner",
       R"html(
<p>La página {TabSheet2} (o el menú {Afinar1} &gt; {Afinar2}) afina la guitarra con el micrófono del ordenador.
Mientras la página está a la vista, el programa escucha; al cambiar de página deja de escuchar.</p>
{pic:TabSheet2}
<p>La ventana entera con esta página, en una pantalla de 1366x768 y en una de 1920x1080:</p>
{pic:TabSheet2@1366x768}
{pic:TabSheet2@1920x1080}
<p>Toque una cuerda al aire cerca del micrófono. La aguja de {Afinador} se para en el centro cuando la nota está
afinada, a la izquierda cuando está baja y a la derecha cuando está alta; se ven la nota, la cuerda, el traste y
la frecuencia. En {Mastil} un dedo marca en el mástil dónde está la nota que suena.</p>
)html",
       R"html(
<p>The page {TabSheet2} (or the menu {Afinar1} &gt; {Afinar2}) tunes the guitar with the computer's microphone.
While the page shows, the program listens; on another page it stops listening.</p>
{pic:TabSheet2}
<p>The whole window with this page, on a 1366x768 screen and on a 1920x1080 one:</p>
{pic:TabSheet2@1366x768}
{pic:TabSheet2@1920x1080}
<p>Play an open string near the microphone. The needle of {Afinador} stands in the middle when the note is in
tune, to the left when it is low and to the right when it is high; the note, the string, the fret and the
frequency are shown. In {Mastil} a finger marks on the fretboard where the note that sounds lies.</p>
)html"},

      {"sounds", "Los sonidos del conjunto", "The sounds of the set",
       R"html(
<p>La página {TabSheet3} muestra los sonidos del conjunto abierto.</p>
{pic:TabSheet3}
<p>La ventana entera con esta página, en una pantalla de 1366x768 y en una de 1920x1080:</p>
{pic:TabSheet3@1366x768}
{pic:TabSheet3@1920x1080}
<p>{Label17}: la lista de los sonidos que usan las fórmulas, hasta 16, en orden; una pista se refiere a un
sonido por su número en esta lista. {Label16}: los archivos WAV de la carpeta del conjunto (<i>datos/N</i>); en
rojo los que ya están en la lista y en verde los que se pueden añadir, en gris cuando la lista está llena. La
leyenda de debajo lo recuerda, «{=LeyendaBanco}», y la sugerencia del banco lo dice entero: «{=LBwavs.hint}» El
botón {SpeedButton1.hint} toca el sonido elegido del banco.</p>
<p>Debajo, «Usado» dice qué parte de la memoria de sonidos del DRAV llenan los sonidos de la lista. Por encima
del 100 % el conjunto no se puede guardar: quite o acorte sonidos.</p>
<p>Con el botón derecho sobre el banco, {Aadir1} añade el sonido a la lista. Con el botón derecho sobre la lista:</p>
{pic:popup:LBIns}
<p>{Eliminar1} quita el sonido (solo en un conjunto nuevo que aún no se ha guardado); {Arriba1} y {Bajar1} lo
mueven, y las fórmulas siguen tocando los mismos sonidos; {Cambiar1} pone en su lugar el sonido elegido del
banco. Para traer un sonido nuevo, copie su archivo WAV (16 bits, mono, 22050 Hz) en la carpeta del conjunto y
abra el conjunto otra vez.</p>
)html",
       R"html(
<p>The page {TabSheet3} shows the sounds of the open set.</p>
{pic:TabSheet3}
<p>The whole window with this page, on a 1366x768 screen and on a 1920x1080 one:</p>
{pic:TabSheet3@1366x768}
{pic:TabSheet3@1920x1080}
<p>{Label17}: the list of the sounds the formulas use, up to 16, in order; a track refers to a sound by its number
in this list. {Label16}: the WAV files of the set's folder (<i>datos/N</i>); in red those already in the list,
in green those that can be added, in grey when the list is full. The legend below recalls it, "{=LeyendaBanco}",
and the bank's hint says it whole: "{=LBwavs.hint}" The button {SpeedButton1.hint} plays the chosen sound of the
bank.</p>
<p>Below, "Used" tells how much of the DRAV's sound memory the sounds of the list fill. Above 100 % the set cannot
be saved: remove or shorten sounds.</p>
<p>The right mouse button on the bank: {Aadir1} adds the sound to the list. The right mouse button on the list:</p>
{pic:popup:LBIns}
<p>{Eliminar1} removes the sound (only in a new set not saved yet); {Arriba1} and {Bajar1} move it, and the
formulas go on playing the same sounds; {Cambiar1} puts the chosen sound of the bank in its place. To bring in a
new sound, copy its WAV file (16 bits, mono, 22050 Hz) into the set's folder and open the set again.</p>
)html"},

      {"sets", "Conjuntos de datos", "Data sets",
       R"html(
<p>El menú {File} abre y guarda los conjuntos de datos:</p>
{pic:menu:File}
<ul>
<li>{Original1}: abre el conjunto de fábrica «Original».</li>
<li>{Nuevo1}: empieza un conjunto nuevo, «Nuevo», con los sonidos de fábrica. Para guardarlo hay que darle un
nombre propio con {Guardarcomo1}.</li>
<li>{Deshacertodo1}: vuelve a leer el conjunto abierto tal como está guardado.</li>
<li>{Abrir2}: abre otro conjunto (un archivo <i>.ole</i> de la carpeta <i>datos</i>).</li>
<li>{ImportarTEMA1}: añade al conjunto abierto un tema de otro conjunto, con las fórmulas que necesita (las que
ya están iguales no se repiten). Elija el archivo <i>.ole</i> del otro conjunto, luego el tema en la lista, y
pulse el botón.</li>
<li>{Guardar1} (o {botonrec}): guarda el conjunto después de preguntar; «Original» y «Nuevo» se guardan con
{Guardarcomo1}.</li>
<li>{Guardarcomo1}: guarda el conjunto con otro nombre (no «Original» ni «Nuevo»); sus sonidos se copian a la
carpeta nueva.</li>
<li>{Salir1}: cierra el programa.</li>
</ul>
{pic:dialog:FormImportar}
<p>Al abrir otro conjunto con cambios sin guardar, el programa pregunta antes si se guardan. El nombre del
conjunto abierto se ve en el título de la ventana.</p>
)html",
       R"html(
<p>The {File} menu opens and saves the data sets:</p>
{pic:menu:File}
<ul>
<li>{Original1}: opens the factory set "Original".</li>
<li>{Nuevo1}: starts a new set, "Nuevo", with the factory sounds. To save it, give it a name of its own with
{Guardarcomo1}.</li>
<li>{Deshacertodo1}: reads the open set again as it is saved.</li>
<li>{Abrir2}: opens another set (an <i>.ole</i> file of the folder <i>datos</i>).</li>
<li>{ImportarTEMA1}: adds to the open set a song of another set, with the formulas it needs (those already there
alike are not repeated). Choose the <i>.ole</i> file of the other set, then the song in the list, and press the
button.</li>
<li>{Guardar1} (or {botonrec}): saves the set after asking; "Original" and "Nuevo" are saved with
{Guardarcomo1}.</li>
<li>{Guardarcomo1}: saves the set under another name (not "Original" nor "Nuevo"); its sounds are copied into the
new folder.</li>
<li>{Salir1}: closes the program.</li>
</ul>
{pic:dialog:FormImportar}
<p>When another set is opened while there are unsaved changes, the program asks first whether to save them. The
name of the open set shows in the window's title.</p>
)html"},

      {"device", "El metrónomo DRAV", "The DRAV metronome",
       R"html(
<p>Conecte el DRAV por USB antes de abrir el programa. Al empezar, el programa lo busca y lo identifica; si lo
encuentra escribe en el registro «Velarto conectado» y la versión del aparato. Si no hay ningún DRAV y el
controlador USB no estaba instalado, lo instala y pide «Conecte ahora el Velarto».</p>
<p>Mientras suena un tema o una fórmula, la luz del DRAV se enciende con cada tiempo.</p>
<p>{BEnvia} envía al DRAV el conjunto abierto tal como está guardado: la configuración (el idioma, la fecha y el
nombre del conjunto), los sonidos, las fórmulas y los temas, por bloques que el aparato confirma. Guarde antes
los cambios. El registro muestra cada parte y «OK» al terminar; «Error de comunicación» si el aparato dejó de
contestar: compruebe el cable y vuelva a enviar. Con los aparatos que no admiten envíos el botón no aparece.
El manual del DRAV ({Ayuda1} &gt; {Ayuda2} &gt; {Velarto1}) explica el aparato.</p>
<p>{File} &gt; {Recibir1} hace lo contrario: pide al DRAV sus sonidos, fórmulas y temas y los guarda como un
conjunto nuevo, con el nombre «VL» seguido del día, el mes, el año, la hora y el minuto (VL060420151405), que
queda abierto. Si la recepción no termina, no se guarda nada y vuelve a abrirse el conjunto que había.</p>
)html",
       R"html(
<p>Connect the DRAV by USB before opening the program. At the start, the program looks for it and identifies it;
when it finds it, it writes "Velarto is plugged in" and the device's version in the log. When there is no DRAV
and the USB driver was not installed, it installs it and asks "Conecte ahora el Velarto" (connect the Velarto
now).</p>
<p>While a song or a formula plays, the DRAV's lamp lights with each beat.</p>
<p>{BEnvia} sends the open set to the DRAV as it is saved: the configuration (the language, the date and the set's
name), the sounds, the formulas and the songs, in blocks the device confirms. Save the changes first. The log
shows each part and "OK" at the end; "Error de comunicación" (communication error) when the device stopped
answering: check the cable and send again. With devices that take no transfers the button does not show. The
DRAV's manual ({Ayuda1} &gt; {Ayuda2} &gt; {Velarto1}) explains the device.</p>
<p>{File} &gt; {Recibir1} does the opposite: it asks the DRAV for its sounds, formulas and songs and stores them as
a new set, named "VL" followed by the day, month, year, hour and minute (VL060420151405), which is then open. When
the receive does not finish, nothing is stored and the set that was open is opened again.</p>
)html"},

      {"help", "Ayuda", "Help",
       R"html(
{pic:menu:Ayuda1}
<p>{Ayuda2} abre los documentos: {ManualBORNACEPELN1} este manual (F1), {Velarto1} el manual del aparato
(Mayús+F1) y {GuaRpidadelPELN1} la guía rápida. Ctrl+F1 abre la hoja de notación. {ActualizarBORNACEPELN1} abre
en el navegador la página de descargas del programa. {Acercade1} muestra la versión y las direcciones del
fabricante; un clic en una dirección la abre en el navegador.</p>
{pic:about}
)html",
       R"html(
{pic:menu:Ayuda1}
<p>{Ayuda2} opens the documents: {ManualBORNACEPELN1} this manual (F1), {Velarto1} the device's manual
(Shift+F1) and {GuaRpidadelPELN1} the quick start guide. Ctrl+F1 opens the notation sheet.
{ActualizarBORNACEPELN1} opens the program's download page in the browser. {Acercade1} shows the version and the
maker's addresses; a click on an address opens it in the browser.</p>
{pic:about}
)html"},

      {"keys", "Teclas rápidas", "Shortcut keys",
       R"html(
<p>Estas teclas funcionan en toda la ventana; las de la lista de temas, cuando esa lista tiene el foco.</p>
{shortcuts}
)html",
       R"html(
<p>These keys work anywhere in the window; those of the list of songs, while that list has the focus.</p>
{shortcuts}
)html"},

      {"messages", "Mensajes", "Messages",
       R"html(
<p>Estos son los mensajes que puede mostrar el programa, qué significan y qué hacer.</p>
{messages}
)html",
       R"html(
<p>These are the messages the program may show, what they mean and what to do.</p>
{messages}
)html"},
  };
  return chapters;
}

const std::vector<ManualMessage>& BasicManualMessages() {
  static const std::vector<ManualMessage> messages = {
      {"¿ Quiere guardar los cambios realizados ?", "Save the changes ?",
       "Hay cambios sin guardar. «Sí» los guarda; «No» los deja sin guardar.",
       "There are unsaved changes. \"Yes\" saves them; \"No\" leaves them unsaved."},
      {"Seleccione un nombre distinto a Original o Nuevo", "Select a different name to Original or Nuevo",
       "Esos dos nombres son del programa. Escriba otro nombre.",
       "Those two names belong to the program. Type another name."},
      {"La longitud de los sonidos excede el máximo disponible:",
       "The length of the sounds exceeds the maximum available:",
       "Los sonidos de la lista no caben en la memoria del DRAV y el conjunto no se guarda. Quite o acorte sonidos.",
       "The sounds of the list do not fit the DRAV's memory and the set is not saved. Remove or shorten sounds."},
      {"No se han podido guardar los datos:", "The data could not be saved:",
       "El disco no admitió los archivos (lleno, protegido...). Lo guardado antes sigue intacto y los cambios siguen "
       "pendientes.",
       "The disk did not take the files (full, protected...). What was saved before is intact and the changes are "
       "still pending."},
      {"Hace falta un visor de PDF para leer este documento. Abra con uno este archivo:",
       "A PDF viewer is needed to read this document. Open this file with one:",
       "El escritorio no tiene ningún programa para los PDF. Instale un visor de PDF (Evince, Okular, Atril...) y "
       "abra con él el archivo indicado.",
       "The desktop has no program for PDF files. Install a PDF viewer (Evince, Okular, Atril...) and open the file "
       "shown with it."},
      {"No se puede abrir el archivo:", "I cannot open the file:",
       "Falta el archivo que se indica (un sonido del conjunto o un documento de la ayuda) o no se puede leer.",
       "The file named (a sound of the set or a document of the help) is missing or cannot be read."},
      {"No se puede guardar el archivo:", "I cannot save the file:",
       "El archivo WAV del tema no se pudo escribir. Compruebe el nombre y el espacio libre.",
       "The song's WAV file could not be written. Check the name and the free space."},
      {"Conecte ahora el Velarto", "Conecte ahora el Velarto",
       "Se ha instalado el controlador USB del DRAV: conéctelo ahora.",
       "The DRAV's USB driver was installed: connect the device now."},
      {" No se puede borrar una fórmula que está siendo usada.", " A formula cannot be erased when is being used.",
       "Un tema usa la fórmula (lo dice la marca roja). Quítela antes de ese tema.",
       "A song uses the formula (the red mark tells which). Remove it from that song first."},
      {"¿ Quiere eliminar la fórmula Nº", "¿ Quiere eliminar la fórmula Nº",
       "Pregunta antes de borrar una fórmula.", "Asked before a formula is deleted."},
      {"¿ Quiere eliminar el tema ", "¿ Quiere eliminar el tema ", "Pregunta antes de borrar un tema.",
       "Asked before a song is deleted."},
      {"No caben más fórmulas (512)", "There is no room for more formulas (512)",
       "El conjunto ya tiene 512 fórmulas. Borre alguna antes.", "The set has 512 formulas already. Delete one first."},
      {"No caben más temas (128)", "There is no room for more songs (128)",
       "El conjunto ya tiene 128 temas. Borre alguno antes.", "The set has 128 songs already. Delete one first."},
      {"Un tema no admite más de 120 fórmulas", "A song holds at most 120 formulas",
       "El tema ya tiene 120 entradas.", "The song has 120 entries already."},
      {"Un tema no puede tener más de 120 entradas", "A song cannot have more than 120 entries",
       "El tema que se importa tiene más entradas de las que caben.", "The song being imported has too many entries."},
      {"Datos guardados", "Data saved", "(En el registro.) El conjunto se ha guardado.",
       "(In the log.) The set has been saved."},
      {"Los cambios no se han guardado.", "The changes have not been saved.",
       "Al salir, el guardado no se pudo hacer (un error al escribir, o en la edición básica sonidos que no caben en "
       "el DRAV). Sí intenta guardar otra vez; No sale sin guardar (los cambios se pierden); Cancelar deja el "
       "programa abierto con sus cambios.",
       "On exit, the save could not be done (a write error, or in the basic edition sounds that do not fit the "
       "DRAV). Yes tries to save again; No quits without saving (the changes are lost); Cancel keeps the program "
       "open with its changes."},
      {"Metrónomo desconectado", "Metronome disconnected",
       "(En el registro.) El DRAV se ha desconectado (el cable, el aparato apagado). El programa no le envía nada "
       "más y lo busca cada pocos segundos; al volver a conectarlo lo identifica otra vez («Velarto conectado»).",
       "(In the log.) The DRAV has gone (the cable, the device switched off). The program sends it nothing more and "
       "looks for it every few seconds; plugged in again, it is identified again (\"Velarto is plugged in\")."},
      {"No existe el puerto del metrónomo:", "The metronome's port does not exist:",
       "(En el registro.) El puerto que da VELARTO_DEVICE_PORT o la clave PuertoMetronomo del archivo de ajustes no "
       "existe. Corrija el nombre o quítelo para que el programa busque el DRAV por sí mismo.",
       "(In the log.) The port named by VELARTO_DEVICE_PORT or by the key PuertoMetronomo of the settings file does "
       "not exist. Correct the name, or remove it so that the program looks for the DRAV itself."},
      {"Sonido quitado:", "Sound removed:",
       "(En el registro, y en un mensaje si algún golpe calla.) {Eliminar1} ha quitado el sonido de la lista; las "
       "pistas que lo usaban quedan en silencio, y el mensaje dice cuántos golpes suenan ahora en silencio.",
       "(In the log, and in a message when a stroke falls silent.) {Eliminar1} has removed the sound from the list; "
       "the tracks that used it fall silent, and the message says how many strokes now play silence."},
      {"No se han enviado los datos al metrónomo.", "The data were not sent to the metronome.",
       "(En el registro.) El envío al DRAV no se ha completado: no está conectado o no contesta.",
       "(In the log.) The transfer to the DRAV did not complete: it is not connected or does not answer."},
      {"Velarto conectado", "Velarto is plugged in", "(En el registro.) El DRAV está conectado e identificado.",
       "(In the log.) The DRAV is connected and identified."},
      {"Error de comunicación", "Error de comunicación",
       "(En el registro.) El DRAV dejó de contestar durante el envío. Compruebe el cable y envíe otra vez.",
       "(In the log.) The DRAV stopped answering during the transfer. Check the cable and send again."},
  };
  return messages;
}

const std::vector<ManualShortcutText>& BasicShortcutTexts() {
  static const std::vector<ManualShortcutText> texts = {
      {"P1", "Toca el tema elegido.", "Plays the chosen song."},
      {"PlayFrmula1", "Toca la fórmula elegida en bucle.", "Plays the chosen formula in a loop."},
      {"Stop1", "Para lo que suena.", "Stops what plays."},
      {"ManualPC", "Abre este manual.", "Opens this manual."},
      {"PELN", "Abre el manual del DRAV.", "Opens the DRAV's manual."},
      {"Notacion", "Abre la hoja de notación.", "Opens the notation sheet."},
      {"Nuevotema1", "{=Nuevotema1} (lista de temas).", "{=Nuevotema1} (list of songs)."},
      {"Copiartema1", "{=Copiartema1} (lista de temas).", "{=Copiartema1} (list of songs)."},
      {"Pegartema1", "{=Pegartema1} (lista de temas).", "{=Pegartema1} (list of songs)."},
      {"Limpiartema1", "{=Limpiartema1} (lista de temas).", "{=Limpiartema1} (list of songs)."},
      {"Borrartema1", "{=Borrartema1} (lista de temas).", "{=Borrartema1} (list of songs)."},
      {"Normalizar1", "{=Normalizar1} (lista de temas).", "{=Normalizar1} (list of songs)."},
      {"Ordenarpornombre1", "{=Ordenarpornombre1} (lista de temas).", "{=Ordenarpornombre1} (list of songs)."},
  };
  return texts;
}

// --- the notation sheet ---------------------------------------------------------

const std::vector<ManualChapter>& BasicNotationChapters() {
  static const std::vector<ManualChapter> chapters = {
      {"cells", "Los golpes de un tiempo", "The strokes of a beat",
       R"html(
<p>En el patrón de una fórmula ({GroupBox2}, página {TabSheet1}) cada fila es una pista y cada columna un tiempo
del compás. La casilla de una pista en un tiempo dice qué golpes da esa pista en ese tiempo: una cifra por golpe,
hasta 8 cifras.</p>
{pic:SGDatosFormula}
<table border="1" cellspacing="0" cellpadding="4">
<tr><th>Cifra</th><th>Golpe</th></tr>
<tr><td><b>3</b></td><td>fuerte (el sonido entero)</td></tr>
<tr><td><b>2</b></td><td>medio (la mitad de fuerte)</td></tr>
<tr><td><b>1</b></td><td>suave (la cuarta parte)</td></tr>
<tr><td><b>0</b> u otro carácter</td><td>silencio: no empieza ningún golpe y el anterior sigue sonando</td></tr>
</table>
<p>Los golpes de una casilla se reparten el tiempo a partes iguales: con una cifra el golpe cae en el tiempo; con
dos, en el tiempo y a la mitad; con tres, en tercios; con cuatro, en semicorcheas. Una casilla vacía no da
golpes: lo que sonaba sigue sonando hasta que el sonido se acaba.</p>
<table border="1" cellspacing="0" cellpadding="4">
<tr><th>Casilla</th><th>Suena</th></tr>
<tr><td>3</td><td>un golpe fuerte en el tiempo</td></tr>
<tr><td>31</td><td>fuerte en el tiempo y suave a la mitad (corcheas)</td></tr>
<tr><td>303</td><td>fuerte en el primer tercio y en el último, silencio en medio (tresillo)</td></tr>
<tr><td>3111</td><td>cuatro semicorcheas, la primera fuerte</td></tr>
<tr><td>0003</td><td>un golpe fuerte en la última semicorchea (contratiempo)</td></tr>
</table>
)html",
       R"html(
<p>In the pattern of a formula ({GroupBox2}, page {TabSheet1}) each row is a track and each column a beat of the
compás. The cell of a track in a beat tells which strokes that track gives in that beat: one digit per stroke, up to
8 digits.</p>
{pic:SGDatosFormula}
<table border="1" cellspacing="0" cellpadding="4">
<tr><th>Digit</th><th>Stroke</th></tr>
<tr><td><b>3</b></td><td>loud (the whole sound)</td></tr>
<tr><td><b>2</b></td><td>medium (half as loud)</td></tr>
<tr><td><b>1</b></td><td>soft (a quarter)</td></tr>
<tr><td><b>0</b> or another character</td><td>rest: no stroke starts and the one before rings on</td></tr>
</table>
<p>The strokes of a cell share the beat equally: with one digit the stroke falls on the beat; with two, on the beat
and halfway; with three, in thirds; with four, in sixteenths. An empty cell gives no stroke: what was sounding
rings on until the sound ends.</p>
<table border="1" cellspacing="0" cellpadding="4">
<tr><th>Cell</th><th>Sounds</th></tr>
<tr><td>3</td><td>one loud stroke on the beat</td></tr>
<tr><td>31</td><td>loud on the beat and soft halfway (eighths)</td></tr>
<tr><td>303</td><td>loud on the first third and on the last, a rest between (a triplet)</td></tr>
<tr><td>3111</td><td>four sixteenths, the first one loud</td></tr>
<tr><td>0003</td><td>one loud stroke on the last sixteenth (off the beat)</td></tr>
</table>
)html"},
      {"compas", "El compás: tiempos, acentos y cuenta", "The compás: beats, accents and counting",
       R"html(
<p>{SGFormulas:1,0} es el número de tiempos del compás (1 a 12) y {SGFormulas:3,0} el tiempo por el que empieza
a contar: una bulería de 12 tiempos que empieza en el 12 se cuenta 12, 1, 2... 11. Las casillas de {Label5}
marcan los tiempos acentuados; la cabecera del patrón los muestra en rojo con «&gt;».</p>
<p>{Label24}: con {RBTiempo} la cabecera numera los tiempos; con {RBAcento} cuenta los acentos: el número sube
en cada tiempo acentuado. Con acentos en 3, 6, 8, 10 y 12 se cuenta 1 1 1 1 1 2 2 3 3 4 4 5.</p>
<p>El clic del metrónomo ({GroupBox1}) usa los mismos acentos: {Label12} 1 a 6 da ese número de clics por
tiempo, el primero fuerte en los tiempos acentuados y suave en los demás; {SpeedButton10} da un solo clic fuerte
en los tiempos acentuados y ninguno en los demás.</p>
<p>Las fórmulas del conjunto «Original» traen los compases de varios palos con sus acentos: ábralas para verlos y cópielas para empezar las suyas.</p>
)html",
       R"html(
<p>{SGFormulas:1,0} is the number of beats of the compás (1 to 12) and {SGFormulas:3,0} the beat it starts
counting from: a 12-beat bulería starting on 12 counts 12, 1, 2... 11. The boxes of {Label5} mark the accented
beats; the pattern's heading shows them in red with "&gt;".</p>
<p>{Label24}: with {RBTiempo} the heading numbers the beats; with {RBAcento} it counts the accents: the number goes
up at each accented beat. With accents on 3, 6, 8, 10 and 12 it counts 1 1 1 1 1 2 2 3 3 4 4 5.</p>
<p>The metronome's click ({GroupBox1}) follows the same accents: {Label12} 1 to 6 gives that many clicks per beat,
the first one loud on accented beats and soft on the others; {SpeedButton10} gives one loud click on the accented
beats and none on the others.</p>
<p>The formulas of the set "Original" hold the compases of several palos with their accents: open them to see them and copy them to start your own.</p>
)html"},
  };
  return chapters;
}

// --- the manual of the DRAV device ---------------------------------------------

const std::vector<ManualChapter>& BasicDeviceChapters() {
  static const std::vector<ManualChapter> chapters = {
      {"what", "El DRAV", "The DRAV",
       R"html(
<p>El DRAV es el metrónomo de flamenco de Velarto Quendrel: toca sin ordenador los temas y las fórmulas de un
conjunto de datos de BORNACE_DRAV, con sus propios sonidos, y marca cada tiempo con su luz. Guarda un conjunto
entero: la configuración, hasta 16 sonidos en 131008 bytes de memoria (unos 3 segundos de sonido a 22050 Hz),
las fórmulas y los temas.</p>
<p>Se conecta al ordenador por USB. Según el modelo, el ordenador lo ve como un dispositivo USB de interfaz
humana o como un puerto serie USB (115200 baudios); BORNACE_DRAV trabaja con los dos y no hay que configurar
nada.</p>
)html",
       R"html(
<p>The DRAV is Velarto Quendrel's flamenco metronome: without a computer it plays the songs and formulas of a
BORNACE_DRAV data set, with its own sounds, and marks each beat with its lamp. It keeps one whole set: the
configuration, up to 16 sounds in 131008 bytes of memory (about 3 seconds of sound at 22050 Hz), the formulas and
the songs.</p>
<p>It connects to the computer by USB. Depending on the model, the computer sees it as a USB human interface
device or as a USB serial port (115200 baud); BORNACE_DRAV works with both and nothing has to be set up.</p>
)html"},
      {"connect", "Conectarlo", "Connecting it",
       R"html(
<ol>
<li>Conecte el DRAV a un puerto USB del ordenador.</li>
<li>Abra BORNACE_DRAV. Al empezar busca el aparato y le pide su identificación; si contesta, el registro de la
página {TabSheet1} dice «Velarto conectado» y la versión del aparato.</li>
<li>Si el ordenador no tenía el controlador USB, el programa lo instala y pide «Conecte ahora el Velarto»:
conéctelo y pulse «Aceptar».</li>
</ol>
<p>Si el registro no dice «Velarto conectado», cierre el programa, compruebe el cable y vuelva a abrirlo.
Mientras suena un tema o una fórmula, la luz del DRAV se enciende con cada tiempo.</p>
)html",
       R"html(
<ol>
<li>Connect the DRAV to a USB port of the computer.</li>
<li>Open BORNACE_DRAV. At the start it looks for the device and asks it to identify itself; when it answers, the
log of the page {TabSheet1} says "Velarto is plugged in" and the device's version.</li>
<li>When the computer did not have the USB driver, the program installs it and asks "Conecte ahora el Velarto"
(connect the Velarto now): connect it and press "OK".</li>
</ol>
<p>When the log does not say "Velarto is plugged in", close the program, check the cable and open it again. While
a song or a formula plays, the DRAV's lamp lights with each beat.</p>
)html"},
      {"send", "Cargar un conjunto en el DRAV", "Loading a set into the DRAV",
       R"html(
<ol>
<li>Abra el conjunto en BORNACE_DRAV y guárdelo ({botonrec}): se envía tal como está guardado.</li>
<li>Compruebe en la página {TabSheet3} que «Usado» no pasa del 100 %: los sonidos tienen que caber en la
memoria del aparato.</li>
<li>Pulse {BEnvia}. El registro muestra la configuración, los sonidos, las fórmulas y los temas a medida que
se envían, por bloques de 1024 bytes que el aparato confirma uno a uno, y «OK» al final.</li>
</ol>
{pic:Panel2}
<p>La configuración lleva el idioma del programa, la fecha del envío y el nombre del conjunto. Si el aparato deja
de contestar, el registro dice «Error de comunicación» y el envío se para: compruebe el cable y vuelva a
pulsar {BEnvia}. Los modelos que no admiten envíos no muestran el botón.</p>
)html",
       R"html(
<ol>
<li>Open the set in BORNACE_DRAV and save it ({botonrec}): it is sent as it is saved.</li>
<li>Check on the page {TabSheet3} that "Used" does not go past 100 %: the sounds must fit the device's memory.</li>
<li>Press {BEnvia}. The log shows the configuration, the sounds, the formulas and the songs as they are sent, in
blocks of 1024 bytes the device confirms one by one, and "OK" at the end.</li>
</ol>
{pic:Panel2}
<p>The configuration carries the program's language, the date of the transfer and the set's name. When the device
stops answering, the log says "Error de comunicación" (communication error) and the transfer stops: check the
cable and press {BEnvia} again. Models that take no transfers do not show the button.</p>
)html"},
  };
  return chapters;
}

// --- the quick start guide ------------------------------------------------------

const std::vector<ManualChapter>& BasicQuickGuideChapters() {
  static const std::vector<ManualChapter> chapters = {
      {"play", "Tocar", "Playing",
       R"html(
<ol>
<li>Abra BORNACE_DRAV: abre el último conjunto de datos (la primera vez, «Original»).</li>
<li>En la página {TabSheet1}, haga clic en un tema de la lista de {GroupBox3} y pulse F10 ({P1}).</li>
<li>Para tocar un solo compás una y otra vez, haga clic en una fórmula de {GroupBox2} y pulse F11
({PlayFrmula1}).</li>
<li>F12 ({Stop1}) para. El tempo del tema está en su lista; el de las fórmulas en {GroupBox1}.</li>
</ol>
{pic:window}
)html",
       R"html(
<ol>
<li>Open BORNACE_DRAV: it opens the last data set (the first time, "Original").</li>
<li>On the page {TabSheet1}, click a song in the list of {GroupBox3} and press F10 ({P1}).</li>
<li>To play one compás again and again, click a formula in {GroupBox2} and press F11 ({PlayFrmula1}).</li>
<li>F12 ({Stop1}) stops. The song's tempo is in its list; the formulas' tempo in {GroupBox1}.</li>
</ol>
{pic:window}
)html"},
      {"edit", "Cambiar y guardar", "Changing and saving",
       R"html(
<ol>
<li>Escriba los golpes en el patrón: una cifra por golpe, 1 suave, 2 medio, 3 fuerte (Ctrl+F1: hoja de
notación).</li>
<li>Añada compases a un tema: clic en una fórmula, luego {BotonPoneDespues}.</li>
<li>Guarde con {botonrec}; un conjunto nuevo, con {File} &gt; {Guardarcomo1}.</li>
<li>Con el DRAV conectado, {BEnvia} lo carga en el aparato.</li>
</ol>
<p>F1 abre el manual completo.</p>
)html",
       R"html(
<ol>
<li>Type the strokes in the pattern: one digit per stroke, 1 soft, 2 medium, 3 loud (Ctrl+F1: the notation
sheet).</li>
<li>Add compases to a song: click a formula, then {BotonPoneDespues}.</li>
<li>Save with {botonrec}; a new set with {File} &gt; {Guardarcomo1}.</li>
<li>With the DRAV connected, {BEnvia} loads the set into the device.</li>
</ol>
<p>F1 opens the whole manual.</p>
)html"},
  };
  return chapters;
}
