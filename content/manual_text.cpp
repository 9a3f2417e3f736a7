// The text of the user manual, in Spanish and in English. The captions of
// the window are not written here: {Name} takes them from the window itself
// in the language of the page (content/manual_book.h).
#include "content/manual_book.h"

const std::vector<ManualChapter>& ManualChapters() {
  static const std::vector<ManualChapter> chapters = {
      {"intro", "Qué es DRAV_PROF", "What DRAV_PROF is",
       R"html(
<p>DRAV_PROF es un metrónomo para el flamenco. No toca un simple «tic»: toca el compás de cada palo con
sonidos grabados (palmas, cajón, nudillos, pies...), con sus acentos, y encadena compases en temas completos
con introducción, repeticiones, cambios de tempo y final.</p>
<p>Cuatro ideas bastan para manejarlo:</p>
<ul>
<li><b>Sonidos</b>: archivos WAV de la carpeta <i>BancoDeSonidos</i>. Cada conjunto de datos elige los que usa
(hasta 64) en su lista de sonidos.</li>
<li><b>Fórmulas</b>: el patrón de un compás. Una fórmula tiene de 1 a 12 tiempos y hasta 16 pistas; cada pista
toca un sonido y en cada tiempo da de 0 a 8 golpes, cada uno con su fuerza (1 a 7).</li>
<li><b>Temas</b>: una lista de entradas. Cada entrada toca una fórmula un número de veces, con su tempo y su
aceleración. El tema tiene además introducción, final, número de partes, orden normal o aleatorio, y el
panorama y el volumen de cada pista.</li>
<li><b>Conjunto de datos</b>: la lista de sonidos, las fórmulas y los temas que se abren y se guardan juntos
(un archivo <i>.vl2</i> de la carpeta <i>datos</i> y su carpeta).</li>
</ul>
<p>Así se ve la ventana al empezar, con el conjunto de fábrica «Original»:</p>
{pic:window}
<p>La ventana es un escritorio gris sobre el que flotan los paneles. Los capítulos siguientes explican cada
panel, cada menú y cada tarea, las teclas rápidas y el significado de cada mensaje del programa.</p>
)html",
       R"html(
<p>DRAV_PROF is a metronome for flamenco. It does not play a plain tick: it plays the compás of each palo with
recorded sounds (palmas, cajón, knuckles, feet...), with its accents, and it chains compases into whole songs
with an introduction, repetitions, tempo changes and an ending.</p>
<p>Four ideas are enough to work with it:</p>
<ul>
<li><b>Sounds</b>: WAV files of the folder <i>BancoDeSonidos</i>. Each data set chooses the ones it uses (up to
64) in its sound list.</li>
<li><b>Formulas</b>: the pattern of one compás. A formula has 1 to 12 beats and up to 16 tracks; each track plays
one sound and gives 0 to 8 strokes in each beat, each with its strength (1 to 7).</li>
<li><b>Songs</b>: a list of entries. Each entry plays a formula a number of times, with its tempo and its
acceleration. A song also has an intro, an ending, a number of parts, normal or random order, and the pan and
volume of each track.</li>
<li><b>Data set</b>: the sound list, the formulas and the songs, opened and saved together (a <i>.vl2</i> file
of the folder <i>datos</i> and its folder).</li>
</ul>
<p>This is the window as it opens, with the factory set "Original":</p>
{pic:window}
<p>The window is a grey desk on which the panels float. The following chapters explain each panel, each menu
and each task, the shortcut keys and the meaning of every message of the program.</p>
)html"},

      {"window", "La ventana, los menús y los paneles", "The window, the menus and the panels",
       R"html(
<p>La barra de menús tiene cuatro menús: {File}, {Ver1}, {Idiomas1} y {Ayuda1}.</p>
{pic:menu:File}
<p>El menú {File} abre y guarda los conjuntos de datos (capítulo «Conjuntos de datos y carpeta de trabajo»):
{Original1}, {Nuevo1}, {Deshacertodo1}, {Abrir2}, {ImportarTEMA1}, {ImportarPELNv1}, {Guardar1},
{Guardarcomo1} y {Salir1}. {Salir1} cierra el programa; si hay cambios sin guardar pregunta antes si se
guardan.</p>
{pic:menu:Ver1}
<p>El menú {Ver1} muestra u oculta cada panel: {Metrnomo1}, {Temas1}, {Frmulas1}, {Pistas1}, {Onda1},
{Sonidos1}, {Afinador1} y {Guitarra1}. La marca junto al nombre dice si el panel está a la vista. Cada panel
tiene además en su esquina superior izquierda una <b>X</b> roja que lo cierra (igual que quitar la marca en
{Ver1}). Un panel se mueve arrastrándolo con el ratón por su fondo. Al empezar se ven {=Metrnomo1},
{=Temas1}, {=Frmulas1} y {=Pistas1}; {=Onda1} y {=Sonidos1} se abren desde {Ver1}.</p>
<p>El menú {Idiomas1} cambia todos los textos de la ventana entre {Espaol1} e {Ingls1}; el menú {Ayuda1} abre
este manual, la página de actualizaciones y la ventana «Acerca de» (capítulo «Idioma y ayuda»).</p>
<p>Muchas tablas tienen un menú propio que se abre con el botón derecho del ratón: la tabla de temas, la de
fórmulas, la de pistas y las dos listas de sonidos. Se explican con su panel.</p>
<p>Abajo del todo, la barra de estado de la ventana. El cuadro de texto verde del panel {=Metrnomo1} es el
registro: allí el programa escribe lo que va haciendo (tocar, parar, guardar, importar...).</p>
)html",
       R"html(
<p>The menu bar holds four menus: {File}, {Ver1}, {Idiomas1} and {Ayuda1}.</p>
{pic:menu:File}
<p>The {File} menu opens and saves data sets (chapter "Data sets and the working folder"): {Original1},
{Nuevo1}, {Deshacertodo1}, {Abrir2}, {ImportarTEMA1}, {ImportarPELNv1}, {Guardar1}, {Guardarcomo1} and
{Salir1}. {Salir1} closes the program; when there are unsaved changes it first asks whether to save them.</p>
{pic:menu:Ver1}
<p>The {Ver1} menu shows or hides each panel: {Metrnomo1}, {Temas1}, {Frmulas1}, {Pistas1}, {Onda1},
{Sonidos1}, {Afinador1} and {Guitarra1}. The tick beside a name tells whether the panel is shown. Each panel
also has a red <b>X</b> in its top left corner that closes it (the same as removing the tick in {Ver1}). Drag a
panel by its background with the mouse to move it. At start the {=Metrnomo1}, {=Temas1}, {=Frmulas1} and
{=Pistas1} panels are shown; {=Onda1} and {=Sonidos1} are opened from {Ver1}.</p>
<p>The {Idiomas1} menu switches every text of the window between {Espaol1} and {Ingls1}; the {Ayuda1} menu opens
this manual, the update page and the about box (chapter "Language and help").</p>
<p>Several tables have a menu of their own, opened with the right mouse button: the song table, the formula
table, the track table and the two sound lists. They are explained with their panel.</p>
<p>At the very bottom is the window's status bar. The green text box of the {=Metrnomo1} panel is the log: the
program writes there what it does (play, stop, save, import...).</p>
)html"},

      {"metronome", "El panel Metrónomo", "The Metronome panel",
       R"html(
<p>El panel {=Metrnomo1} (su título es «{=PanelMetronomo}») tiene el tempo, el clic, los volúmenes, los números
de los tiempos y el registro.</p>
{pic:PanelMetronomo}
<ul>
<li><b>Tempo</b>: la barra vertical de la derecha fija el tempo de la fórmula, de 20 bpm (abajo) a 400 bpm
(arriba). También se puede escribir el tempo en el cuadro de arriba a la izquierda (20 a 400; otros valores no
se toman). Al lado se ve el tempo que suena, con dos decimales. Mientras suena un tema, aquí se ve cómo cambia el
tempo con la aceleración.</li>
<li><b>{Label13}</b>: la lista desplegable elige el sonido del clic, entre los sonidos del conjunto;
«Silencio» quita el clic.</li>
<li><b>Clic</b>: los botones <b>0</b> a <b>6</b> y <b>{SpeedButton10}</b> eligen cómo suena el clic en cada
tiempo. <b>0</b> quita el clic. <b>1</b> da un golpe por tiempo, <b>2</b> dos, y así hasta <b>6</b> golpes por
tiempo (subdivisiones). El primer golpe de un tiempo acentuado suena más fuerte (fuerza 7) que el de un tiempo
sin acento (fuerza 5). <b>{SpeedButton10}</b> da un solo golpe, y sólo en los tiempos acentuados, como el pie
que marca el compás. Al elegir un botón distinto de 0 sin sonido de clic elegido, se toma el primer sonido de la
lista.</li>
<li><b>{Label6}</b>: equilibrio entre el clic y las pistas (0 a 16). Hacia la derecha el clic sube y las pistas
bajan; en el extremo derecho sólo se oye el clic.</li>
<li><b>Volumen general</b>: la barra de abajo y su cuadro (0 a 100) fijan el volumen de salida de la tarjeta de
sonido; la barrita verde lo muestra. Escriba un número de 0 a 100 y pulse Intro.</li>
<li><b>Números de los tiempos</b>: del 1 al 12. Mientras suena, se ilumina el tiempo que suena y la cifra grande
de la derecha lo repite (al contar por acentos, muestra el número del acento).</li>
<li><b>{SpeedButton12}</b> para todo lo que suena (como F12 o Esc).</li>
<li><b>{Label32} {Label33}</b>: el botón aparece en cuanto hay cambios sin guardar en el conjunto de datos, y
guarda el conjunto (pregunta antes). Su sugerencia dice «{botonrec.hint}».</li>
<li><b>Registro</b>: el cuadro de texto verde de abajo.</li>
</ul>
)html",
       R"html(
<p>The {=Metrnomo1} panel (its title reads "{=PanelMetronomo}") holds the tempo, the click, the volumes, the beat
numbers and the log.</p>
{pic:PanelMetronomo}
<ul>
<li><b>Tempo</b>: the vertical slider on the right sets the formula's tempo, from 20 bpm (bottom) to 400 bpm
(top). The tempo can also be typed into the box at the top left (20 to 400; other values are not taken). Beside
it the tempo that sounds is shown with two decimals. While a song plays, you see here how the tempo changes with
the acceleration.</li>
<li><b>{Label13}</b>: the drop-down list chooses the click's sound among the sounds of the set; "Silencio"
(silence) removes the click.</li>
<li><b>Click</b>: the buttons <b>0</b> to <b>6</b> and <b>{SpeedButton10}</b> choose how the click sounds in
each beat. <b>0</b> removes the click. <b>1</b> gives one stroke per beat, <b>2</b> two, and so on up to
<b>6</b> strokes per beat (subdivisions). The first stroke of an accented beat sounds louder (strength 7) than
that of a beat without accent (strength 5). <b>{SpeedButton10}</b> gives a single stroke, on the accented beats
only, like the foot that marks the compás. Choosing a button other than 0 while no click sound is chosen takes
the first sound of the list.</li>
<li><b>{Label6}</b>: the balance between the click and the tracks (0 to 16). Towards the right the click grows
and the tracks fall; at the far right only the click is heard.</li>
<li><b>Master volume</b>: the lower slider and its box (0 to 100) set the output volume of the sound card; the
small green bar shows it. Type a number from 0 to 100 and press Enter.</li>
<li><b>Beat numbers</b>: 1 to 12. While playing, the beat that sounds lights up and the large figure on the right
repeats it (when counting by accents it shows the accent's number).</li>
<li><b>{SpeedButton12}</b> stops whatever plays (like F12 or Esc).</li>
<li><b>{Label32} {Label33}</b>: the button appears as soon as the data set has unsaved changes, and saves the
set (it asks first). Its hint reads "{botonrec.hint}".</li>
<li><b>Log</b>: the green text box at the bottom.</li>
</ul>
)html"},

      {"temas", "El panel Temas", "The Songs panel",
       R"html(
<p>El panel {=Temas1} muestra los temas del conjunto y las entradas del tema elegido, y los toca.</p>
{pic:PanelTemas}
<h3>La tabla de temas</h3>
<p>A la izquierda, la tabla de temas con las columnas {SGTemas:0,0} y {SGTemas:1,0}. Un clic en un tema lo elige:
su lista de entradas, sus opciones, su tempo y el panorama y volumen de sus pistas se cargan, y la primera entrada
queda elegida. El nombre se cambia escribiendo en su celda (hasta 32 letras) una vez elegida la fila.</p>
<p>Debajo: los botones <b>&lt;</b> ({menostema.hint}) y <b>&gt;</b> ({mastema.hint}) pasan al tema anterior o
siguiente, y el cuadro {LabeledEdit1} busca un tema: al escribir, se elige el siguiente tema cuyo nombre empieza
por lo escrito (sin distinguir mayúsculas), buscando desde el tema elegido hacia abajo y luego desde el
principio.</p>
{pic:popup:SGTemas}
<p>El botón derecho del ratón sobre la tabla abre su menú:</p>
<ul>
<li>{Nuevotema1} (Ctrl+N): añade al final un tema vacío, sin entradas, con el tempo de la barra de tempo del
panel {=Metrnomo1} y orden {RadioButton1}. Escriba su nombre en la celda.</li>
<li>{Copiartema1} (Ctrl+C) recuerda el tema elegido; {Pegartema1} (Ctrl+P) lo copia entero encima del tema
elegido (entradas, opciones, panorama y volumen); la celda del nombre queda vacía para escribir el nuevo
nombre.</li>
<li>{Limpiartema1} (Ctrl+L): quita todas las entradas del tema elegido.</li>
<li>{Borrartema1} (Ctrl+B): pregunta y borra el tema (y su pista de guitarra). El único tema de un conjunto no se
borra.</li>
<li>{Ordenarpornombre1} (Ctrl+O): ordena los temas por su nombre.</li>
<li>{Normalizar1} (Ctrl+T): calcula de nuevo, para cada tema, la ganancia con la que su mezcla suena lo más fuerte
posible sin saturar. Lo hace también al guardar y al empezar a tocar un tema.</li>
<li>{UnificaPistas1}: reescribe todas las fórmulas del tema elegido para que cada sonido vaya siempre en la misma
pista; así el panorama y el volumen de una pista valen para el mismo sonido en todo el tema.</li>
</ul>
<p>Ctrl+C, Ctrl+P, Ctrl+L, Ctrl+B y Ctrl+O funcionan cuando la tabla de temas tiene el foco; Ctrl+N y Ctrl+T en
toda la ventana.</p>
<h3>Las entradas del tema</h3>
<p>En el centro, una fila por entrada: {SGSaco:0,0} (el número del compás en que empieza la entrada),
{SGSaco:1,0} (el nombre de la fórmula), {SGSaco:2,0} (el tempo), {SGSaco:3,0} (el número de la fórmula),
{SGSaco:4,0} (cuántas veces seguidas se toca) y {SGSaco:5,0} (la aceleración). La última fila no es una
entrada: marca el final y muestra el compás siguiente al último y el tempo al que se llega.</p>
<ul>
<li><b>{SGSaco:2,0}</b>: en la primera fila es el tempo del tema. En otra fila, escriba un tempo (20 a 400) para
que el tema cambie a ese tempo desde esa entrada; vacío o 0 sigue con el tempo que había. La columna muestra
el tempo en vigor donde cambia.</li>
<li><b>{SGSaco:3,0}</b>: escriba el número de otra fórmula para cambiar la fórmula de la entrada.</li>
<li><b>{SGSaco:4,0}</b>: de 1 a 255 repeticiones seguidas de la fórmula.</li>
<li><b>{SGSaco:5,0}</b>: bpm que el tempo sube (o baja, con un número negativo, de -128 a 127) por cada
compás de la entrada; la subida se reparte entre los tiempos del compás. Así se hace el acelerando típico del
final de unas bulerías.</li>
</ul>
<p>Un valor fuera de estos límites no se guarda. Un clic en una entrada la elige: su fórmula se muestra en el
panel {=Pistas1} y el tema empezará a sonar desde ella.</p>
<h3>Añadir y quitar entradas</h3>
<p>La fórmula que se añade es la última elegida con el ratón o las flechas en el panel {=Frmulas1}; la etiqueta
de abajo lo dice («Añadir F» y su número y nombre). El botón <b>↑+</b> ({Label46} {Label47}) la inserta antes
de la entrada elegida y <b>↓+</b> ({Label42} {Label43}) después; el botón <b>−</b> ({Label40} {Label41}) quita
la entrada elegida. Un tema tiene como mucho 120 entradas.</p>
<h3>Opciones del tema</h3>
<ul>
<li><b>{Partes}</b>: cuántas veces se toca la lista entera. Vacío o 0: se repite hasta que se pare. 1: una vez y
para. 2 o más: ese número de pasadas y para.</li>
<li><b>{Intro}</b>: tiempos de introducción (0 a 12): antes del primer compás suenan ese número de golpes de
clic, uno por tiempo, para entrar a tiempo (cuando el tema empieza desde su primera entrada; con el primer sonido
de la lista si no hay sonido de clic elegido).</li>
<li><b>{Fin}</b>: tiempos de un compás de final (0 a 12) que suena entre una pasada y la siguiente, en silencio
(salvo la guitarra). No suena después de la última pasada.</li>
<li><b>{Label11}</b>: {RadioButton1} toca las entradas en su orden. {RadioButton2} toca compases sueltos de las
entradas en orden aleatorio: en cada pasada cada entrada sale tantas veces como sus {SGSaco:4,0}, un compás cada
vez.</li>
<li><b>{Estereo}</b> / <b>{Mono}</b>: salida en estéreo (con el panorama de cada pista) o en mono.</li>
<li><b>Tempo del tema</b>: la barra vertical de la derecha (20 a 400 bpm) cambia el tempo del tema, es decir el
de su primera entrada; las demás filas se recalculan.</li>
</ul>
<h3>Tocar</h3>
<p>Debajo de las opciones: el nombre del tema, el contador de compases (compás actual de total, y la pasada
mientras suena) y el tiempo transcurrido. Los botones: <b>▶</b> ({BotonPlayComp.hint}) toca el tema desde la
entrada elegida, <b>||</b> ({botonpausa.hint}) hace una pausa y lo reanuda, <b>■</b> ({botonstoptema.hint})
para. El botón <b>{SpeedButton6}</b> ({Label38} {Label39}) exporta el tema a un archivo WAV (capítulo «Exportar
un tema a WAV»).</p>
)html",
       R"html(
<p>The {=Temas1} panel shows the songs of the set and the entries of the chosen song, and plays them.</p>
{pic:PanelTemas}
<h3>The song table</h3>
<p>On the left, the song table with the columns {SGTemas:0,0} and {SGTemas:1,0}. A click on a song chooses it:
its entry list, its options, its tempo and the pan and volume of its tracks are loaded, and its first entry is
chosen. Change the name by typing into its cell (up to 32 letters) once the row is chosen.</p>
<p>Below: the buttons <b>&lt;</b> ({menostema.hint}) and <b>&gt;</b> ({mastema.hint}) step to the previous or
next song, and the box {LabeledEdit1} finds a song: as you type, the next song whose name begins with what you
typed (in any case) is chosen, searching down from the chosen song and then from the top.</p>
{pic:popup:SGTemas}
<p>The right mouse button on the table opens its menu:</p>
<ul>
<li>{Nuevotema1} (Ctrl+N): appends an empty song, without entries, with the tempo of the tempo slider of the
{=Metrnomo1} panel and {RadioButton1} order. Type its name into the cell.</li>
<li>{Copiartema1} (Ctrl+C) remembers the chosen song; {Pegartema1} (Ctrl+P) copies it whole over the chosen song
(entries, options, pan and volume); the name cell is left empty for the new name.</li>
<li>{Limpiartema1} (Ctrl+L): removes every entry of the chosen song.</li>
<li>{Borrartema1} (Ctrl+B): asks, then removes the song (and its guitar track). The only song of a set is not
removed.</li>
<li>{Ordenarpornombre1} (Ctrl+O): sorts the songs by name.</li>
<li>{Normalizar1} (Ctrl+T): finds again, for every song, the gain at which its mix sounds as loud as possible
without clipping. This is also done on saving and when a song starts to play.</li>
<li>{UnificaPistas1}: rewrites every formula of the chosen song so that each sound always sits on the same
track; the pan and volume of a track then apply to the same sound throughout the song.</li>
</ul>
<p>Ctrl+C, Ctrl+P, Ctrl+L, Ctrl+B and Ctrl+O work while the song table has the focus; Ctrl+N and Ctrl+T in the
whole window.</p>
<h3>The song's entries</h3>
<p>In the middle, one row per entry: {SGSaco:0,0} (the number of the compás at which the entry starts),
{SGSaco:1,0} (the formula's name), {SGSaco:2,0} (the tempo), {SGSaco:3,0} (the formula's number),
{SGSaco:4,0} (how many times in a row it plays) and {SGSaco:5,0} (the acceleration). The last row is no entry:
it marks the end and shows the compás after the last one and the tempo reached.</p>
<ul>
<li><b>{SGSaco:2,0}</b>: on the first row it is the song's tempo. On another row, type a tempo (20 to 400) to have
the song change to that tempo from that entry on; empty or 0 keeps the tempo in force. The column shows the tempo
in force where it changes.</li>
<li><b>{SGSaco:3,0}</b>: type the number of another formula to change the entry's formula.</li>
<li><b>{SGSaco:4,0}</b>: 1 to 255 repetitions of the formula in a row.</li>
<li><b>{SGSaco:5,0}</b>: bpm by which the tempo rises (or falls, with a negative number, -128 to 127) in each
compás of the entry; the rise is spread over the beats of the compás. This makes the accelerando typical of the
end of a bulería.</li>
</ul>
<p>A value outside these limits is not stored. A click on an entry chooses it: its formula is shown in the
{=Pistas1} panel and the song will start playing from it.</p>
<h3>Adding and removing entries</h3>
<p>The formula that is added is the last one chosen with the mouse or the arrow keys in the {=Frmulas1} panel; the
label at the bottom tells it ("Add F" and its number and name). The button <b>↑+</b> ({Label46} {Label47})
inserts it before the chosen entry and <b>↓+</b> ({Label42} {Label43}) after it; the button <b>−</b>
({Label40} {Label41}) removes the chosen entry. A song holds at most 120 entries.</p>
<h3>Song options</h3>
<ul>
<li><b>{Partes}</b>: how many times the whole list plays. Empty or 0: it repeats until stopped. 1: once, then it
stops. 2 or more: that many passes, then it stops.</li>
<li><b>{Intro}</b>: intro beats (0 to 12): before the first compás that many click strokes sound, one per beat,
to come in on time (when the song starts from its first entry; with the first sound of the list when no click
sound is chosen).</li>
<li><b>{Fin}</b>: beats of an ending compás (0 to 12) played between one pass and the next, in silence (but for
the guitar). It does not sound after the last pass.</li>
<li><b>{Label11}</b>: {RadioButton1} plays the entries in their order. {RadioButton2} plays single compases of the
entries in random order: in each pass every entry comes as many times as its {SGSaco:4,0}, one compás each
time.</li>
<li><b>{Estereo}</b> / <b>{Mono}</b>: stereo output (with each track's pan) or mono.</li>
<li><b>Song tempo</b>: the vertical slider on the right (20 to 400 bpm) changes the song's tempo, that is the
tempo of its first entry; the other rows are worked out again.</li>
</ul>
<h3>Playing</h3>
<p>Below the options: the song's name, the compás counter (current compás of the total, and the pass while
playing) and the elapsed time. The buttons: <b>▶</b> ({BotonPlayComp.hint}) plays the song from the chosen entry,
<b>||</b> ({botonpausa.hint}) pauses and resumes, <b>■</b> ({botonstoptema.hint}) stops. The button
<b>{SpeedButton6}</b> ({Label38} {Label39}) exports the song to a WAV file (chapter "Exporting a song to
WAV").</p>
)html"},

      {"formulas", "El panel Fórmulas", "The Formulas panel",
       R"html(
<p>El panel {=Frmulas1} lista las fórmulas del conjunto.</p>
{pic:PanelFormulas}
<p>Columnas: {SGFormulas:0,0} (en rojo si algún tema usa la fórmula, en verde si ninguno; con fondo azul oscuro
la fórmula que se añadirá a los temas), {SGFormulas:1,0} (1 a 12), {SGFormulas:2,0} (hasta 16 letras) e
{SGFormulas:3,0} (el número del primer tiempo, 1 a 12: la cuenta de los tiempos empieza en él; por ejemplo las
bulerías se cuentan desde el 12). Elegida una fila, el nombre, los tiempos y el inicio se cambian escribiendo en
la celda; un número fuera de 1 a 12 no se toma.</p>
<p>Un clic en una fórmula (o moverse con las flechas) la muestra en el panel {=Pistas1} y la hace la fórmula que
se añadirá al tema con los botones del panel {=Temas1}.</p>
<ul>
<li><b>▶</b> ({botonplay.hint}) toca la fórmula elegida en bucle, al tempo del panel {=Metrnomo1};
<b>■</b> ({botonstop.hint}) para.</li>
<li><b>{Label24}</b>: {RBTiempo} numera los tiempos 1, 2, 3...; {RBAcento} los cuenta por acentos: el número
sube en cada tiempo acentuado (por ejemplo 1 1 1 1 1 2 2 3 3 4 4 5 para una soleá con acentos en 3, 6, 8, 10
y 12).</li>
<li><b>{Edit3}</b>: al escribir, elige la siguiente fórmula cuyo nombre empieza por lo escrito.</li>
</ul>
{pic:popup:SGFormulas}
<p>El menú del botón derecho:</p>
<ul>
<li>{Nuevafrmula1}: añade al final una copia de la fórmula elegida, sin nombre; escriba su nombre.</li>
<li>{Copiarfrmula1} recuerda la fórmula elegida; {Pegarfrmula1} la copia encima de la fórmula elegida (golpes,
sonidos, tiempos, inicio y acentos), que conserva su nombre.</li>
<li>{Limpiarfrmula1}: borra todos los golpes de la fórmula; quedan sus sonidos, tiempos, nombre y acentos.</li>
<li>{Borrarfrmula1}: pregunta y borra la fórmula. No se puede borrar una fórmula que usa algún tema, ni la única
fórmula del conjunto.</li>
<li>{Ordenarpornombre2}: ordena las fórmulas por nombre; los temas siguen tocando las mismas fórmulas.</li>
</ul>
)html",
       R"html(
<p>The {=Frmulas1} panel lists the formulas of the set.</p>
{pic:PanelFormulas}
<p>Columns: {SGFormulas:0,0} (red when a song uses the formula, green when none does; on a dark blue background
the formula that will be added to songs), {SGFormulas:1,0} (1 to 12), {SGFormulas:2,0} (up to 16 letters) and
{SGFormulas:3,0} (the number of the first beat, 1 to 12: the count of the beats starts from it; bulerías, for
instance, are counted from 12). Once a row is chosen, change the name, the beats and the start by typing into the
cell; a number outside 1 to 12 is not taken.</p>
<p>A click on a formula (or moving with the arrow keys) shows it in the {=Pistas1} panel and makes it the formula
that the buttons of the {=Temas1} panel add to the song.</p>
<ul>
<li><b>▶</b> ({botonplay.hint}) plays the chosen formula in a loop, at the tempo of the {=Metrnomo1} panel;
<b>■</b> ({botonstop.hint}) stops.</li>
<li><b>{Label24}</b>: {RBTiempo} numbers the beats 1, 2, 3...; {RBAcento} counts by accents: the number rises at
every accented beat (for instance 1 1 1 1 1 2 2 3 3 4 4 5 for a soleá accented on 3, 6, 8, 10 and 12).</li>
<li><b>{Edit3}</b>: as you type, chooses the next formula whose name begins with what you typed.</li>
</ul>
{pic:popup:SGFormulas}
<p>The right-button menu:</p>
<ul>
<li>{Nuevafrmula1}: appends a copy of the chosen formula, without a name; type its name.</li>
<li>{Copiarfrmula1} remembers the chosen formula; {Pegarfrmula1} copies it over the chosen formula (strokes,
sounds, beats, start and accents), which keeps its name.</li>
<li>{Limpiarfrmula1}: clears every stroke of the formula; its sounds, beats, name and accents stay.</li>
<li>{Borrarfrmula1}: asks, then removes the formula. A formula that a song uses cannot be removed, nor the only
formula of the set.</li>
<li>{Ordenarpornombre2}: sorts the formulas by name; the songs keep playing the same formulas.</li>
</ul>
)html"},

      {"pistas", "El panel Pistas: golpes y sonidos", "The Tracks panel: strokes and sounds",
       R"html(
<p>El panel {=Pistas1} es el editor de la fórmula elegida: una fila por pista (16) y una columna por tiempo.</p>
{pic:PanelPistas}
<p>Arriba: la fórmula que se edita, su duración al tempo actual («Duración» en segundos y los milisegundos de un
tiempo) y si la usa algún tema («Usada en Tema» con su número y nombre, o «No está usada»).</p>
<h3>El sonido de cada pista</h3>
<p>La columna {SGDatosFormula:1,0} dice el sonido de cada pista (en gris si la pista está muda o si es
«Silencio»). Haga clic en la celda: aparece una lista con los sonidos del conjunto; elija uno, o «Silencio» para
que la pista no suene. Los sonidos de la lista se cambian en el panel {=Sonidos1}.</p>
<h3>Escribir los golpes</h3>
<p>Cada celda de un tiempo guarda los golpes de esa pista en ese tiempo, escritos con cifras. Elija la celda y
escriba:</p>
<ul>
<li>Cada cifra es un golpe; el tiempo se divide en tantas partes iguales como cifras escriba (hasta 8; lo que
pase de 8 no se toma).</li>
<li>Una cifra de 1 a 7 es un golpe con esa fuerza: 7 es la más fuerte, 1 la más suave (una séptima parte). 0 (o
cualquier otro carácter) es un silencio.</li>
<li>Ejemplos: <b>7</b> un golpe fuerte al principio del tiempo; <b>77</b> dos corcheas; <b>7070</b> golpes en la
primera y la tercera semicorchea; <b>0007</b> sólo la última semicorchea (el contratiempo); <b>777</b> un
tresillo.</li>
<li>Una celda vacía no da golpe nuevo: el sonido anterior sigue sonando. Un silencio al principio tampoco corta
el sonido que suena.</li>
</ul>
<p>Con la casilla <b>{LasNotas}</b> marcada, las celdas se dibujan como figuras de ritmo en lugar de cifras;
desmárquela para ver las cifras.</p>
<h3>Acentos</h3>
<p>Bajo cada columna de tiempo hay una casilla: márquela para acentuar ese tiempo. Los tiempos acentuados salen
en rojo con «&gt;» en la cabecera; con ellos el clic da su golpe fuerte, el botón {SpeedButton10} marca sólo esos
tiempos y la cuenta {RBAcento} del panel {=Frmulas1} sube en ellos. También se marcan con la barra
espaciadora.</p>
<h3>Panorama, volumen, silencio y solo</h3>
<p>En la columna de la izquierda de cada pista:</p>
<ul>
<li>La primera barrita es el <b>panorama</b>: de izquierda a derecha, con el centro en medio (su sugerencia dice
de -16 a 16).</li>
<li>La segunda es el <b>volumen</b> de la pista, de 1 a 16: 8 es el volumen normal, 16 nueve veces más fuerte, 1
la octava parte (la sugerencia dice «x2», «1/3»...).</li>
<li><b>M</b> (mute) silencia la pista; puede haber varias silenciadas.</li>
<li><b>S</b> (solo) deja sonar sólo esa pista y silencia las demás; otra vez S la quita. Sólo hay una pista en
solo a la vez. Pulsar una M quita el solo.</li>
</ul>
<p>El panorama y el volumen de las pistas son del <b>tema</b> elegido en el panel {=Temas1} (cada tema guarda
los suyos); el silencio y el solo no se guardan.</p>
<h3>El menú del botón derecho</h3>
{pic:popup:SGDatosFormula}
<ul>
<li>{Copiarpista1}, {Pegarpista1}, {Limpiarpista1}: copian, pegan o borran los golpes de la pista (la fila)
elegida en todos sus tiempos; el sonido de la pista no se copia. Se puede pegar en otra fórmula.</li>
<li>{Copiartiempo1}, {Pegartiempo1}, {Limpiartiempo1}: lo mismo con el tiempo (la columna) elegido, en las 16
pistas.</li>
</ul>
)html",
       R"html(
<p>The {=Pistas1} panel is the editor of the chosen formula: one row per track (16) and one column per beat.</p>
{pic:PanelPistas}
<p>At the top: the formula being edited, its length at the present tempo ("Length" in seconds and the
milliseconds of one beat) and whether a song uses it ("Used in song" with its number and name, or "It is not
used").</p>
<h3>The sound of each track</h3>
<p>The {SGDatosFormula:1,0} column tells each track's sound (grey when the track is muted or when it is
"Silencio"). Click the cell: a list of the set's sounds appears; choose one, or "Silencio" to keep the track
silent. The sounds of the list are changed in the {=Sonidos1} panel.</p>
<h3>Typing the strokes</h3>
<p>Each cell of a beat holds the strokes of that track in that beat, written as digits. Choose the cell and
type:</p>
<ul>
<li>Each digit is one stroke; the beat is divided into as many equal parts as digits typed (up to 8; anything
beyond 8 is not taken).</li>
<li>A digit 1 to 7 is a stroke of that strength: 7 is the loudest, 1 the softest (one seventh). 0 (or any other
character) is a rest.</li>
<li>Examples: <b>7</b> one loud stroke at the start of the beat; <b>77</b> two eighth notes; <b>7070</b> strokes on
the first and third sixteenth; <b>0007</b> the last sixteenth only (the off-beat); <b>777</b> a triplet.</li>
<li>An empty cell gives no new stroke: the previous sound rings on. A rest at the start does not cut the sound
that rings either.</li>
</ul>
<p>With the <b>{LasNotas}</b> box ticked, the cells are drawn as rhythm notes instead of digits; untick it to
see the digits.</p>
<h3>Accents</h3>
<p>Under each beat column there is a box: tick it to accent that beat. Accented beats show red with "&gt;" in the
header; on them the click gives its loud stroke, the {SpeedButton10} button marks only those beats and the
{RBAcento} count of the {=Frmulas1} panel rises. The space bar ticks them too.</p>
<h3>Pan, volume, mute and solo</h3>
<p>In the left column of each track:</p>
<ul>
<li>The first small slider is the <b>pan</b>: from left to right, with the centre in the middle (its hint shows
-16 to 16).</li>
<li>The second is the track's <b>volume</b>, 1 to 16: 8 is the normal volume, 16 nine times louder, 1 one eighth
(the hint shows "x2", "1/3"...).</li>
<li><b>M</b> (mute) silences the track; several tracks can be muted.</li>
<li><b>S</b> (solo) lets only that track sound and mutes the others; S again removes it. Only one track is solo
at a time. Pressing an M removes the solo.</li>
</ul>
<p>The pan and volume of the tracks belong to the <b>song</b> chosen in the {=Temas1} panel (each song keeps its
own); mute and solo are not saved.</p>
<h3>The right-button menu</h3>
{pic:popup:SGDatosFormula}
<ul>
<li>{Copiarpista1}, {Pegarpista1}, {Limpiarpista1}: copy, paste or clear the strokes of the chosen track (the
row) in all its beats; the track's sound is not copied. You can paste into another formula.</li>
<li>{Copiartiempo1}, {Pegartiempo1}, {Limpiartiempo1}: the same with the chosen beat (the column), over the 16
tracks.</li>
</ul>
)html"},

      {"onda", "El panel Onda", "The Wave panel",
       R"html(
<p>El panel {=Onda1} (se abre desde {Ver1}) dibuja la forma de onda del tiempo que suena: arriba el canal
izquierdo, abajo el derecho. Sirve para ver el equilibrio del panorama y si la mezcla llega al máximo. Al parar
queda una línea plana.</p>
{pic:PanelOnda}
)html",
       R"html(
<p>The {=Onda1} panel (opened from {Ver1}) draws the waveform of the beat that sounds: the left channel above,
the right channel below. It shows the balance of the pan and whether the mix reaches the top. On stop it shows a
flat line.</p>
{pic:PanelOnda}
)html"},

      {"sonidos", "El panel Sonidos", "The Sounds panel",
       R"html(
<p>El panel {=Sonidos1} (se abre desde {Ver1}) lleva en su título el nombre del conjunto de datos abierto.</p>
{pic:PanelSonidos}
<ul>
<li>A la izquierda, la <b>lista de sonidos del conjunto</b>, con su número de sonidos encima. El orden importa:
las pistas de las fórmulas guardan el número del sonido en esta lista. Un clic en un sonido dibuja su forma de
onda abajo.</li>
<li>A la derecha, el <b>{Label16}</b>: todos los archivos WAV de la carpeta BancoDeSonidos. En rojo los que ya
están en la lista del conjunto, en verde los que se pueden añadir, en gris cuando la lista está llena (64
sonidos). Un clic en uno muestra su duración y su forma de onda (si está en la lista). El botón <b>▶</b>
({SpeedButton1.hint}) lo escucha.</li>
</ul>
{pic:popup:LBIns}
<p>El botón derecho sobre la lista del conjunto abre su menú:</p>
<ul>
<li>{Eliminar1}: quita el sonido de la lista. Cuidado: las pistas guardan el <i>número</i> del sonido y las
fórmulas no se corrigen; los sonidos de debajo suben un puesto, y una pista que usaba uno de ellos toca ahora el
sonido que ha quedado en su número. Quite sonidos del final de la lista, o revise después las fórmulas.</li>
<li>{Arriba1} y {Bajar1}: mueven el sonido un puesto en la lista; las fórmulas se corrigen para que cada pista
siga tocando su sonido. El menú se vuelve a abrir para seguir moviéndolo.</li>
<li>{Cambiar1}: pone en su lugar el sonido elegido en el {=Label16} (si no está ya en la lista): todas las pistas
que usaban el sonido antiguo tocarán el nuevo. El sonido nuevo suena desde la próxima carga de los sonidos (otra
orden de la lista, abrir el conjunto) y llega al archivo con la próxima orden de la lista o al guardar.</li>
</ul>
{pic:popup:LBwavs}
<p>El botón derecho sobre el {=Label16} ofrece {Aadir1}: añade el sonido al final de la lista del conjunto (si
no está ya y cabe).</p>
<p>{Aadir1}, {Eliminar1}, {Arriba1} y {Bajar1} escriben enseguida el archivo .vl2 del conjunto y cargan de nuevo
los sonidos.</p>
)html",
       R"html(
<p>The {=Sonidos1} panel (opened from {Ver1}) carries the name of the open data set in its title.</p>
{pic:PanelSonidos}
<ul>
<li>On the left, the <b>set's sound list</b>, with its number of sounds above it. The order matters: the tracks
of the formulas keep the number of the sound in this list. A click on a sound draws its waveform below.</li>
<li>On the right, the <b>{Label16}</b>: every WAV file of the folder BancoDeSonidos. Red, the ones the set's list
already holds; green, the ones that can be added; grey when the list is full (64 sounds). A click on one shows
its length and its waveform (when it is in the list). The <b>▶</b> button ({SpeedButton1.hint}) plays it.</li>
</ul>
{pic:popup:LBIns}
<p>The right button on the set's list opens its menu:</p>
<ul>
<li>{Eliminar1}: removes the sound from the list. Take care: tracks keep the <i>number</i> of their sound and
the formulas are not corrected; the sounds below move up one place, and a track that used one of them now plays
the sound left at its number. Remove sounds from the end of the list, or check the formulas afterwards.</li>
<li>{Arriba1} and {Bajar1}: move the sound one place in the list; the formulas are corrected so that every track
keeps playing its sound. The menu opens again to move it on.</li>
<li>{Cambiar1}: puts the sound chosen in the {=Label16} in its place (when the list does not hold it yet): every
track that used the old sound will play the new one. The new sound is heard from the next load of the sounds
(another list command, opening the set) and reaches the file with the next list command or on saving.</li>
</ul>
{pic:popup:LBwavs}
<p>The right button on the {=Label16} offers {Aadir1}: appends the sound to the set's list (when it is not there
yet and there is room).</p>
<p>{Aadir1}, {Eliminar1}, {Arriba1} and {Bajar1} write the set's .vl2 file at once and load the sounds again.</p>
)html"},

      {"play", "Tocar", "Playing",
       R"html(
<ul>
<li><b>Una fórmula en bucle</b>: elíjala en el panel {=Frmulas1} y pulse F11 (o ▶ de ese panel). Suena una y
otra vez al tempo de la barra del panel {=Metrnomo1}, que se puede mover mientras suena.</li>
<li><b>Un tema</b>: elíjalo en el panel {=Temas1}, elija la entrada desde la que quiere empezar y pulse F10 (o ▶
de ese panel).</li>
<li><b>Pausa</b>: el botón || del panel {=Temas1}; ▶ o || otra vez reanudan.</li>
<li><b>Parar</b>: F12 o Esc, o cualquiera de los botones ■ y {SpeedButton12}.</li>
</ul>
<p>Así suena un tema: primero la introducción ({Intro}: golpes de clic, uno por tiempo); luego cada entrada
tantas veces como diga {SGSaco:4,0}, con su tempo y su aceleración, en orden o al azar; al acabar la lista, el
compás de final ({Fin}) y otra pasada, tantas pasadas como diga {Partes} (sin número: hasta que se pare). Mientras
suena, las entradas que suenan se van eligiendo en la tabla, el panel {=Pistas1} muestra su fórmula, los números
del panel {=Metrnomo1} marcan el tiempo y el contador muestra el compás.</p>
<p>Mientras suena un tema, los cambios que haga no encienden el botón de guardar; se guardan igualmente con
{Guardar1}.</p>
)html",
       R"html(
<ul>
<li><b>A formula in a loop</b>: choose it in the {=Frmulas1} panel and press F11 (or ▶ of that panel). It plays
over and over at the tempo of the slider of the {=Metrnomo1} panel, which can be moved while it plays.</li>
<li><b>A song</b>: choose it in the {=Temas1} panel, choose the entry to start from and press F10 (or ▶ of that
panel).</li>
<li><b>Pause</b>: the || button of the {=Temas1} panel; ▶ or || again resume.</li>
<li><b>Stop</b>: F12 or Esc, or any of the ■ and {SpeedButton12} buttons.</li>
</ul>
<p>This is how a song plays: first the intro ({Intro}: click strokes, one per beat); then each entry as many times
as its {SGSaco:4,0}, with its tempo and acceleration, in order or at random; at the end of the list, the ending
compás ({Fin}) and another pass, as many passes as {Partes} says (without a number: until stopped). While it
plays, the entries that sound are chosen in turn in the table, the {=Pistas1} panel shows their formula, the
numbers of the {=Metrnomo1} panel mark the beat and the counter shows the compás.</p>
<p>While a song plays, the changes you make do not light the save button; {Guardar1} saves them all the
same.</p>
)html"},

      {"create", "Crear una fórmula y un tema", "Making a formula and a song",
       R"html(
<p>Un ejemplo completo: una fórmula de tangos de 4 tiempos y un tema que la usa.</p>
<ol>
<li>En el panel {=Frmulas1}, elija una fórmula parecida, botón derecho, {Nuevafrmula1}. En la fila nueva escriba
el nombre «Tangos», 4 en {SGFormulas:1,0} y 1 en {SGFormulas:3,0}.</li>
<li>En el panel {=Pistas1}, elija el sonido de la pista 1 (por ejemplo una palma) en la columna
{SGDatosFormula:1,0}. Escriba los golpes: 7 en el tiempo 1, 0505 en el 2, 7 en el 3, 0505 en el 4. Elija
otro sonido en la pista 2 y escriba sus golpes.</li>
<li>Marque las casillas de acento de los tiempos que se acentúan.</li>
<li>Pulse F11 para escucharla; mueva el tempo en el panel {=Metrnomo1}; ajuste el volumen y el panorama de cada
pista. Pare con F12.</li>
<li>En el panel {=Temas1}, botón derecho en la tabla de temas, {Nuevotema1} (Ctrl+N), y escriba su nombre.</li>
<li>Con la fórmula elegida en el panel {=Frmulas1}, pulse ↑+ o ↓+ en el panel {=Temas1} para añadirla como
entrada. Escriba las {SGSaco:4,0} (por ejemplo 8) y, si quiere, una {SGSaco:5,0}.</li>
<li>Añada más entradas con otras fórmulas; escriba un tempo en {SGSaco:2,0} donde el tema cambie de tempo.</li>
<li>Escriba {Intro} 4, {Fin} 4 y {Partes} 2, y pulse F10 para escucharlo.</li>
<li>Guarde con el botón {Label32} {Label33} o con {File} &gt; {Guardar1}. El conjunto de fábrica «Original» no
se sobreescribe: se guarda como «Original-1» (o el primer número libre); use {Guardarcomo1} para darle un
nombre.</li>
</ol>
)html",
       R"html(
<p>A whole example: a tangos formula of 4 beats and a song that uses it.</p>
<ol>
<li>In the {=Frmulas1} panel, choose a similar formula, right button, {Nuevafrmula1}. In the new row type the name
"Tangos", 4 in {SGFormulas:1,0} and 1 in {SGFormulas:3,0}.</li>
<li>In the {=Pistas1} panel, choose the sound of track 1 (a palma, for instance) in the {SGDatosFormula:1,0}
column. Type the strokes: 7 in beat 1, 0505 in beat 2, 7 in beat 3, 0505 in beat 4. Choose another sound on
track 2 and type its strokes.</li>
<li>Tick the accent boxes of the accented beats.</li>
<li>Press F11 to hear it; move the tempo in the {=Metrnomo1} panel; set each track's volume and pan. Stop with
F12.</li>
<li>In the {=Temas1} panel, right button on the song table, {Nuevotema1} (Ctrl+N), and type its name.</li>
<li>With the formula chosen in the {=Frmulas1} panel, press ↑+ or ↓+ in the {=Temas1} panel to add it as an
entry. Type the {SGSaco:4,0} (8, for instance) and, if you like, an {SGSaco:5,0}.</li>
<li>Add more entries with other formulas; type a tempo into {SGSaco:2,0} where the song changes tempo.</li>
<li>Type {Intro} 4, {Fin} 4 and {Partes} 2, and press F10 to hear it.</li>
<li>Save with the {Label32} {Label33} button or with {File} &gt; {Guardar1}. The factory set "Original" is not
overwritten: it is saved as "Original-1" (or the first free number); use {Guardarcomo1} to give it a name.</li>
</ol>
)html"},

      {"wav", "Exportar un tema a WAV", "Exporting a song to WAV",
       R"html(
<p>El botón <b>{SpeedButton6}</b> del panel {=Temas1} ({SpeedButton6.hint}) escribe el tema elegido en un archivo
WAV (estéreo, 44100 Hz, 16 bits) para oírlo en cualquier reproductor o llevarlo a un editor de audio.</p>
<ol>
<li>Elija el tema y, si quiere, el clic (sonido y botones del panel {=Metrnomo1}): el clic también se
graba.</li>
<li>Pulse <b>{SpeedButton6}</b>. Se abre un diálogo en la carpeta <i>datos/wavs</i> con un nombre propuesto: el
nombre del tema, su tempo, «m» y el botón de clic elegido, por ejemplo «Bulerias-120mP.wav».</li>
<li>Acepte. El registro dice «Archivo : ... guardado».</li>
</ol>
<p>El archivo tiene la introducción, cada entrada con sus repeticiones en el orden de la lista (también en un tema
{RadioButton2}), y, si {Partes} es 2 o más, las pasadas con el compás de final entre ellas. Con {Partes} vacío, 0
o 1 se escribe una sola pasada. Un tema cuya primera entrada no tiene repeticiones no se exporta.</p>
)html",
       R"html(
<p>The <b>{SpeedButton6}</b> button of the {=Temas1} panel ({SpeedButton6.hint}) writes the chosen song into a WAV
file (stereo, 44100 Hz, 16 bits) to play it in any player or take it into an audio editor.</p>
<ol>
<li>Choose the song and, if you like, the click (sound and buttons of the {=Metrnomo1} panel): the click is
recorded too.</li>
<li>Press <b>{SpeedButton6}</b>. A dialog opens in the folder <i>datos/wavs</i> with a proposed name: the song's
name, its tempo, "m" and the chosen click button, for instance "Bulerias-120mP.wav".</li>
<li>Accept. The log says "File : ... saved".</li>
</ol>
<p>The file holds the intro, each entry with its repetitions in list order (in a {RadioButton2} song too), and,
when {Partes} is 2 or more, the passes with the ending compás between them. With {Partes} empty, 0 or 1 a single
pass is written. A song whose first entry has no repetitions is not exported.</p>
)html"},

      {"import", "Importar temas de otro conjunto", "Importing songs from another set",
       R"html(
<p>{File} &gt; {ImportarTEMA1} copia temas de otro conjunto de datos al conjunto abierto, con las fórmulas que
usan.</p>
<ol>
<li>Elija el archivo .vl2 del otro conjunto (en la carpeta <i>datos</i>).</li>
<li>Se abre la ventana «Importar TEMAS» con la lista de sus temas.</li>
<li>Elija un tema y pulse el botón «Importar»: el tema se añade al final de la tabla de temas. Las fórmulas que el
conjunto abierto ya tiene iguales se aprovechan; las demás se añaden al final de la tabla de fórmulas. La pista de
guitarra del tema viene con él. El registro dice «Importando Tema:» y «Añadiendo fórmula:» por cada fórmula
nueva.</li>
<li>Los temas ya importados salen en rojo en la lista. Importe otros o cierre la ventana.</li>
</ol>
{pic:dialog:FormImportar}
<p>Las fórmulas usan los números de sonido del conjunto abierto: si las listas de sonidos de los dos conjuntos no
son iguales, revise los sonidos de las pistas. Guarde después el conjunto.</p>
)html",
       R"html(
<p>{File} &gt; {ImportarTEMA1} copies songs of another data set into the open set, with the formulas they use.</p>
<ol>
<li>Choose the other set's .vl2 file (in the folder <i>datos</i>).</li>
<li>The window "Import SONGS" opens with the list of its songs.</li>
<li>Choose a song and press the "Import" button: the song is appended to the song table. Formulas the open set
already holds in equal form are reused; the others are appended to the formula table. The song's guitar track
comes along. The log says "Importando Tema:" and "Añadiendo fórmula:" for each new formula.</li>
<li>Songs already imported show red in the list. Import others or close the window.</li>
</ol>
{pic:dialog:FormImportar}
<p>The formulas use the sound numbers of the open set: when the sound lists of the two sets differ, check the
tracks' sounds. Save the set afterwards.</p>
)html"},

      {"convert", "Convertir un conjunto antiguo (DRAVv1)", "Converting an older set (DRAVv1)",
       R"html(
<p>{File} &gt; {ImportarPELNv1} convierte un conjunto de la generación anterior (8 pistas por fórmula, archivo
.ole de la carpeta <i>datos</i>) al formato actual.</p>
<ol>
<li>Elija el archivo .ole. Tiene que estar en una carpeta <i>datos</i> y no llamarse «Original» ni
«Nuevo».</li>
<li>Si ya existe un conjunto .vl2 con ese nombre, el programa pregunta si lo sobreescribe.</li>
<li>Si el conjunto abierto tiene cambios, pregunta antes si se guardan.</li>
<li>Se escribe el conjunto nuevo (la lista de sonidos, las fórmulas y los temas) con el mismo nombre y se
abre.</li>
</ol>
<p>Los golpes (de 3 niveles en el formato antiguo) pasan a la escala de 1 a 7 y cada tema conserva sus entradas,
tempos y opciones.</p>
)html",
       R"html(
<p>{File} &gt; {ImportarPELNv1} converts a set of the older generation (8 tracks per formula, an .ole file of the
folder <i>datos</i>) into the present format.</p>
<ol>
<li>Choose the .ole file. It must be in a <i>datos</i> folder and must not be named "Original" or "Nuevo".</li>
<li>When a .vl2 set of that name already exists, the program asks whether to overwrite it.</li>
<li>When the open set has changes, it first asks whether to save them.</li>
<li>The new set (sound list, formulas and songs) is written under the same name and opened.</li>
</ol>
<p>The strokes (of 3 levels in the older format) move onto the scale 1 to 7, and each song keeps its entries,
tempos and options.</p>
)html"},

      {"files", "Conjuntos de datos y carpeta de trabajo", "Data sets and the working folder",
       R"html(
<p>El menú {File}:</p>
<ul>
<li>{Original1}: abre el conjunto de fábrica «Original» (si hay cambios, pregunta antes si se guardan).</li>
<li>{Nuevo1}: empieza un conjunto vacío llamado «Nuevo», con la lista de sonidos de fábrica, una fórmula y un
tema vacíos y tempo 120.</li>
<li>{Deshacertodo1}: vuelve a leer el conjunto del disco y pierde los cambios de fórmulas y temas no guardados
(la lista de sonidos se guarda al cambiarla, así que queda como está).</li>
<li>{Abrir2}: elige un conjunto (archivo .vl2 de la carpeta <i>datos</i>).</li>
<li>{Guardar1} (y el botón {Label32} {Label33}): pregunta y guarda. «Original» y «Nuevo» no se sobreescriben
nunca: se guardan como «Original-1», «Nuevo-1»... (el primer número libre).</li>
<li>{Guardarcomo1}: guarda con otro nombre, que debe estar en la carpeta <i>datos</i> y no ser «Original» ni
«Nuevo». Las pistas de guitarra se copian al conjunto nuevo.</li>
</ul>
<p>Al empezar, el programa abre el último conjunto usado. Al salir pregunta si se guardan los cambios.</p>
<h3>La carpeta de trabajo</h3>
<p>Todo se lee y se escribe en la carpeta del programa (la carpeta de trabajo):</p>
<table border="1" cellspacing="0" cellpadding="3" width="100%">
<tr><td width="38%"><i>BancoDeSonidos/</i></td><td>los sonidos: un archivo WAV por sonido.</td></tr>
<tr><td><i>datos/&lt;nombre&gt;.vl2</i></td><td>la lista de sonidos del conjunto: un nombre de sonido por
línea.</td></tr>
<tr><td><i>datos/&lt;nombre&gt;/formulas.svs</i></td><td>las fórmulas del conjunto.</td></tr>
<tr><td><i>datos/&lt;nombre&gt;/temas.svs</i></td><td>los temas del conjunto.</td></tr>
<tr><td><i>datos/&lt;nombre&gt;/&lt;tema&gt;.gtr</i></td><td>la pista de guitarra de un tema.</td></tr>
<tr><td><i>datos/Original.vl2</i>, <i>datos/Original/</i></td><td>el conjunto de fábrica; su lista de sonidos es
también la de un conjunto nuevo.</td></tr>
<tr><td><i>Nuevo.vl2</i></td><td>la lista de sonidos del conjunto «Nuevo» sin guardar.</td></tr>
<tr><td><i>datos/wavs/</i></td><td>los temas exportados a WAV.</td></tr>
<tr><td><i>datos/&lt;nombre&gt;.ole</i></td><td>un conjunto de la generación anterior, para convertirlo.</td></tr>
<tr><td><i>Acordes/</i>, <i>Plantillas/</i>, <i>MIDI/</i></td><td>para la guitarra (acordes, plantillas y archivos
MIDI).</td></tr>
<tr><td><i>Imagenes/</i></td><td>las imágenes de los paneles y de «Acerca de».</td></tr>
<tr><td><i>DRAV_PROF.ini</i></td><td>los ajustes: el último conjunto abierto y el idioma.</td></tr>
<tr><td><i>Manual DRAV_PROF.pdf</i></td><td>este manual.</td></tr>
</table>
<p>Para copiar un conjunto a otro ordenador, copie su .vl2, su carpeta y los sonidos que usa. Un .vl2 abierto
desde la línea de órdenes (o con doble clic) hace de la carpeta que contiene su carpeta <i>datos</i> la carpeta
de trabajo.</p>
)html",
       R"html(
<p>The {File} menu:</p>
<ul>
<li>{Original1}: opens the factory set "Original" (when there are changes, it first asks whether to save
them).</li>
<li>{Nuevo1}: starts an empty set named "Nuevo", with the factory sound list, an empty formula and song and tempo
120.</li>
<li>{Deshacertodo1}: reads the set again from disk and drops the unsaved changes of formulas and songs (the sound
list is saved when it changes, so it stays as it is).</li>
<li>{Abrir2}: chooses a set (a .vl2 file of the folder <i>datos</i>).</li>
<li>{Guardar1} (and the {Label32} {Label33} button): asks, then saves. "Original" and "Nuevo" are never
overwritten: they are saved as "Original-1", "Nuevo-1"... (the first free number).</li>
<li>{Guardarcomo1}: saves under another name, which must be in the folder <i>datos</i> and must not be "Original"
or "Nuevo". The guitar tracks are copied to the new set.</li>
</ul>
<p>At start the program opens the last set used. On exit it asks whether to save the changes.</p>
<h3>The working folder</h3>
<p>Everything is read and written in the program's folder (the working folder):</p>
<table border="1" cellspacing="0" cellpadding="3" width="100%">
<tr><td width="38%"><i>BancoDeSonidos/</i></td><td>the sounds: one WAV file per sound.</td></tr>
<tr><td><i>datos/&lt;name&gt;.vl2</i></td><td>the set's sound list: one sound name per line.</td></tr>
<tr><td><i>datos/&lt;name&gt;/formulas.svs</i></td><td>the set's formulas.</td></tr>
<tr><td><i>datos/&lt;name&gt;/temas.svs</i></td><td>the set's songs.</td></tr>
<tr><td><i>datos/&lt;name&gt;/&lt;song&gt;.gtr</i></td><td>the guitar track of a song.</td></tr>
<tr><td><i>datos/Original.vl2</i>, <i>datos/Original/</i></td><td>the factory set; its sound list is also that
of a new set.</td></tr>
<tr><td><i>Nuevo.vl2</i></td><td>the sound list of the unsaved "Nuevo" set.</td></tr>
<tr><td><i>datos/wavs/</i></td><td>the songs exported to WAV.</td></tr>
<tr><td><i>datos/&lt;name&gt;.ole</i></td><td>a set of the older generation, to be converted.</td></tr>
<tr><td><i>Acordes/</i>, <i>Plantillas/</i>, <i>MIDI/</i></td><td>for the guitar (chords, templates and MIDI
files).</td></tr>
<tr><td><i>Imagenes/</i></td><td>the pictures of the panels and of the about box.</td></tr>
<tr><td><i>DRAV_PROF.ini</i></td><td>the settings: the last set opened and the language.</td></tr>
<tr><td><i>Manual DRAV_PROF.pdf</i></td><td>this manual.</td></tr>
</table>
<p>To take a set to another computer, copy its .vl2, its folder and the sounds it uses. A .vl2 opened from the
command line (or by a double click) makes the folder that holds its <i>datos</i> folder the working folder.</p>
)html"},

      {"language", "Idioma y ayuda", "Language and help",
       R"html(
<p>El menú {Idiomas1} tiene {Espaol1} e {Ingls1}: cambia al momento todos los textos de la ventana, y la elección
se recuerda para la próxima vez.</p>
{pic:menu:Ayuda1}
<p>El menú {Ayuda1}:</p>
<ul>
<li>{ManualBORNACEPELN1} (o F1 en cualquier momento): abre este manual, el archivo «Manual DRAV_PROF.pdf» de la
carpeta de trabajo, con el lector de PDF del sistema.</li>
<li>{ActualizarBORNACEPELN1}: abre en el navegador la página del programa, donde están las versiones
nuevas.</li>
<li>{Acercade1}: muestra el nombre y la versión del programa y los enlaces a la página del programa y a la del
fabricante.</li>
</ul>
)html",
       R"html(
<p>The {Idiomas1} menu holds {Espaol1} and {Ingls1}: it switches every text of the window at once, and the choice
is remembered for the next time.</p>
{pic:menu:Ayuda1}
<p>The {Ayuda1} menu:</p>
<ul>
<li>{ManualBORNACEPELN1} (or F1 at any time): opens this manual, the file "Manual DRAV_PROF.pdf" of the working
folder, with the system's PDF reader.</li>
<li>{ActualizarBORNACEPELN1}: opens the program's page in the web browser, where the new versions are.</li>
<li>{Acercade1}: shows the program's name and version and the links to the program's page and to the maker's
page.</li>
</ul>
)html"},

      {"shortcuts", "Teclas rápidas", "Shortcut keys",
       R"html(
<p>Las teclas de la ventana:</p>
{shortcuts}
<p>Además, en las tablas: las flechas mueven la celda elegida (en la tabla de fórmulas eligen también la fórmula
que se añade a los temas); escribir en una celda editable (o F2, o doble clic) la edita e Intro guarda lo escrito.
En las casillas de acento, la barra espaciadora marca o desmarca el acento. En el cuadro del volumen general,
Intro toma el número escrito.</p>
)html",
       R"html(
<p>The keys of the window:</p>
{shortcuts}
<p>In the tables, besides: the arrow keys move the chosen cell (in the formula table they also choose the formula
added to songs); typing in an editable cell (or F2, or a double click) edits it and Enter stores what was typed.
On the accent boxes the space bar ticks or unticks the accent. In the master volume box, Enter takes the typed
number.</p>
)html"},

      {"messages", "Qué significa cada mensaje y qué hacer", "What each message means and what to do",
       R"html(
<p>Los mensajes que el programa muestra en una ventana o escribe en el registro: primero las preguntas, luego los
avisos y al final las líneas del registro. Donde el texto sigue con un nombre de archivo, una causa o un número,
se indica entre &lt; &gt;. Unas pocas preguntas se hacen siempre en español; en la parte inglesa se dan tal
cual.</p>
{messages}
)html",
       R"html(
<p>The messages that the program shows in a box or writes into the log: first the questions, then the warnings
and last the lines of the log. Where the text goes on with a file name, a cause or a number, it is shown between
&lt; &gt;. A few questions are always asked in Spanish; they are given as they are.</p>
{messages}
)html"},

      {"coming", "Próximas partes: Afinador y Guitarra", "Coming parts: Tuner and Guitar",
       R"html(
<p>Los paneles {=Afinador1} y {=Guitarra1} del menú {Ver1} ya se pueden mostrar, pero su contenido llegará en
próximas versiones: un afinador por micrófono y una pista de guitarra en tablatura que acompaña a cada tema.</p>
)html",
       R"html(
<p>The {=Afinador1} and {=Guitarra1} panels of the {Ver1} menu can already be shown, but their content comes in
later versions: a tuner through the microphone and a guitar track in tablature that goes with each song.</p>
)html"},
  };
  return chapters;
}

const std::vector<ManualMessage>& ManualMessages() {
  static const std::vector<ManualMessage> messages = {
      {"¿ Quiere guardar los cambios realizados ?", "Save the changes ?",
       "El conjunto abierto tiene cambios sin guardar y va a guardarse, cerrarse o cambiarse por otro. Sí los "
       "guarda; No sigue sin guardar (se pierden); Cancelar no guarda (al salir, el programa sigue abierto).",
       "The open set has unsaved changes and is about to be saved, closed or replaced. Yes saves them; No goes on "
       "without saving (they are lost); Cancel does not save (on exit, the program stays open)."},
      {"¿ Quiere eliminar la fórmula Nº", "¿ Quiere eliminar la fórmula Nº",
       "Pregunta de {Borrarfrmula1}, con el número y el nombre de la fórmula. Sí la borra; No la deja.",
       "The question of {Borrarfrmula1}, with the formula's number and name (asked in Spanish). Yes removes it; No "
       "keeps it."},
      {"¿ Quiere eliminar el tema", "¿ Quiere eliminar el tema",
       "Pregunta de {Borrartema1}, con el nombre del tema. Sí lo borra junto con su pista de guitarra; No lo deja.",
       "The question of {Borrartema1}, with the song's name (asked in Spanish). Yes removes it together with its "
       "guitar track; No keeps it."},
      {"El archivo <ruta> ya existe.¿ Quiere sobreescribirlo ?", "El archivo <path> ya existe.¿ Quiere sobreescribirlo ?",
       "Al convertir un conjunto antiguo ya hay un conjunto .vl2 con ese nombre. Sí lo reemplaza por el convertido; No "
       "cancela (copie antes el .ole con otro nombre si quiere conservar los dos).",
       "On converting an older set there already is a .vl2 set of that name (asked in Spanish). Yes replaces it with "
       "the converted one; No cancels (copy the .ole under another name first to keep both)."},
      {" No se puede borrar una fórmula que está siendo usada.", " A formula cannot be erased when is being used.",
       "Algún tema tiene una entrada con esa fórmula (su número sale en rojo). Quite antes esas entradas de los temas "
       "o cámbielas por otra fórmula (columna {SGSaco:3,0}).",
       "A song has an entry with that formula (its number shows red). First remove those entries from the songs or "
       "change them to another formula (column {SGSaco:3,0})."},
      {" No se puede borrar la única fórmula del conjunto.", " The only formula of the set cannot be erased.",
       "Un conjunto tiene siempre al menos una fórmula. Cree otra antes si quiere borrar ésta, o límpiela con "
       "{Limpiarfrmula1}.",
       "A set always keeps at least one formula. Make another one first to remove this one, or clear it with "
       "{Limpiarfrmula1}."},
      {"No caben más fórmulas (512)", "There is no room for more formulas (512)",
       "El conjunto ya tiene 512 fórmulas, el máximo. Borre fórmulas que no se usen (número en verde) o empiece otro "
       "conjunto.",
       "The set already holds 512 formulas, the most it can. Remove unused formulas (green number) or start another "
       "set."},
      {"No caben más temas (128)", "There is no room for more songs (128)",
       "El conjunto ya tiene 128 temas, el máximo. Borre temas o guarde parte de ellos en otro conjunto.",
       "The set already holds 128 songs, the most it can. Remove songs or keep some of them in another set."},
      {"Un tema no admite más de 120 fórmulas", "A song holds at most 120 formulas",
       "El tema ya tiene 120 entradas. Use la columna {SGSaco:4,0} de una entrada para repetirla en lugar de "
       "añadir entradas iguales, o la casilla {Partes} del tema para repetir el tema entero.",
       "The song already has 120 entries. Use the {SGSaco:4,0} column of an entry to repeat it instead of adding "
       "equal entries, or the song's {Partes} box to repeat the whole song."},
      {"Un tema no puede tener más de 120 entradas", "A song cannot have more than 120 entries",
       "Al importar: el tema tendría más de 120 entradas. No se importa.",
       "On importing: the song would have more than 120 entries. It is not imported."},
      {"Seleccione un nombre distinto a Original o Nuevo", "Select a different name to Original or Nuevo",
       "«Original» (el conjunto de fábrica) y «Nuevo» están reservados, también como final de un nombre "
       "(«MiOriginal»). Escriba otro nombre.",
       "\"Original\" (the factory set) and \"Nuevo\" are reserved, also as the end of a name (\"MyOriginal\"). Type "
       "another name."},
      {"El archivo tiene que estar en una carpeta datos", "The file must be in a datos folder",
       "El conjunto antiguo elegido no está en una carpeta llamada datos. Cópielo (con su carpeta) a la carpeta datos "
       "de la carpeta de trabajo y elíjalo allí.",
       "The older set chosen is not in a folder named datos. Copy it (with its folder) into the datos folder of the "
       "working folder and choose it there."},
      {"No se ha podido convertir el archivo: <causa>", "The file could not be converted: <cause>",
       "El conjunto antiguo no se pudo leer o el nuevo no se pudo escribir; la causa sigue al texto. Compruebe que el "
       ".ole y su carpeta existen y que la carpeta datos admite escritura.",
       "The older set could not be read or the new one could not be written; the cause follows the text. Check that "
       "the .ole and its folder exist and that the datos folder can be written."},
      {"No se han podido leer los datos de <archivo>", "The data could not be read from <file>",
       "Las fórmulas o los temas del conjunto no se pudieron leer. El conjunto se abre con lo que se pudo leer. "
       "Compruebe el archivo (permisos, disco); si está dañado, abra una copia.",
       "The formulas or the songs of the set could not be read. The set opens with what could be read. Check the file "
       "(permissions, disk); when it is damaged, open a copy."},
      {"No se han podido guardar los datos: <causa>", "The data could not be saved: <cause>",
       "El conjunto no se pudo escribir (disco lleno, sin permiso...). Los archivos anteriores quedan intactos y los "
       "cambios siguen en la ventana: libere espacio o use {Guardarcomo1} en otra carpeta datos.",
       "The set could not be written (disk full, no permission...). The previous files stay intact and the changes "
       "remain in the window: free some space or use {Guardarcomo1} into another datos folder."},
      {"No se puede guardar la lista de sonidos: <causa>", "I cannot save the sound list: <cause>",
       "El archivo .vl2 del conjunto no se pudo escribir tras cambiar la lista de sonidos. Compruebe el espacio y los "
       "permisos de la carpeta datos.",
       "The set's .vl2 file could not be written after a change of the sound list. Check the space and the permissions "
       "of the datos folder."},
      {"La lista de sonidos tiene <n> nombres: se usan los <m> primeros.",
       "The sound list has <n> names: the first <m> are used.",
       "La lista del conjunto tiene más sonidos de los que caben. Los de más se conservan en el archivo pero no "
       "suenan. Quite sonidos que no use.",
       "The set's list has more sounds than fit. The extra ones are kept in the file but do not sound. Remove sounds "
       "you do not use."},
      {"No se puede abrir el archivo: <ruta>", "I cannot open the file: <path>",
       "Un sonido de la lista no está en BancoDeSonidos o no es un WAV que el programa lea. Las pistas con ese sonido "
       "no suenan. Copie el archivo a BancoDeSonidos o cámbielo con {Cambiar1}.",
       "A sound of the list is not in BancoDeSonidos or is no WAV the program reads. Tracks with that sound stay "
       "silent. Copy the file into BancoDeSonidos or replace it with {Cambiar1}."},
      {"No se puede abrir el manual: <ruta>", "I cannot open the manual: <path>",
       "El archivo «Manual DRAV_PROF.pdf» no está en la carpeta de trabajo o no hay lector de PDF. Instale un lector "
       "de PDF o copie el manual a la ruta indicada.",
       "The file \"Manual DRAV_PROF.pdf\" is not in the working folder or there is no PDF reader. Install a PDF reader "
       "or copy the manual to the path shown."},
      {"No se puede guardar el archivo: <causa>", "I cannot save the file: <cause>",
       "El WAV exportado no se pudo escribir. Elija otra carpeta o libere espacio.",
       "The exported WAV could not be written. Choose another folder or free some space."},
      {"El tema es demasiado largo para un archivo WAV (4 GB): <ruta>",
       "The song is too long for a WAV file (4 GB): <path>",
       "El tema exportado pasaría de 4 GB, el máximo de un WAV (por ejemplo con {Partes} muy grande). Baje {Partes} o "
       "las {SGSaco:4,0}.",
       "The exported song would pass 4 GB, the most a WAV holds (for instance with a very large {Partes}). Lower "
       "{Partes} or the {SGSaco:4,0}."},
      {"Mensajes del dispositivo de sonido (p. ej. «PortAudio: ...»)", "Sound device messages (e.g. \"PortAudio: ...\")",
       "La salida o la entrada de sonido no se pudo abrir al empezar. El programa funciona pero no suena. Compruebe "
       "que hay una tarjeta de sonido libre (cierre otros programas de audio) y vuelva a empezar.",
       "The sound output or input could not be opened at start. The program works but makes no sound. Check that a "
       "sound card is free (close other audio programs) and start again."},
      {"Datos guardados", "Data saved", "Registro: el conjunto se ha guardado.", "Log: the set has been saved."},
      {"Fórmula reparada: <n>", "Formula repaired: <n>",
       "Registro: al abrir, la fórmula n tenía datos imposibles y se ha dejado vacía, de 12 tiempos, con el nombre "
       "«Nueva». Vuelva a escribirla o bórrela.",
       "Log: on opening, formula n held impossible data and has been left empty, of 12 beats, named \"Nueva\". Write "
       "it again or remove it."},
      {"No se puede copiar la lista de sonidos: <causa>", "I cannot copy the sound list: <cause>",
       "Registro: al abrir un conjunto nuevo o sin lista, no se pudo copiar la lista de fábrica datos/Original.vl2. "
       "Compruebe que existe.",
       "Log: opening a new set or one without a list, the factory list datos/Original.vl2 could not be copied. Check "
       "that it exists."},
      {"No se ha podido copiar <archivo>", "I could not copy <file>",
       "Registro: con {Guardarcomo1}, una pista de guitarra no se pudo copiar al conjunto nuevo. Cópiela a mano.",
       "Log: with {Guardarcomo1}, a guitar track could not be copied to the new set. Copy it by hand."},
      {"Importando Tema: <nombre>", "Importando Tema: <name>", "Registro: se está importando ese tema.",
       "Log: that song is being imported."},
      {"Añadiendo fórmula: <nombre>", "Añadiendo fórmula: <name>",
       "Registro: al importar, esa fórmula no estaba en el conjunto y se ha añadido.",
       "Log: on importing, that formula was not in the set and has been added."},
      {"Normalizando temas:", "Normalizando temas:",
       "Registro: {Normalizar1} (o el guardado) calcula la ganancia de cada tema; siguen sus nombres.",
       "Log: {Normalizar1} (or the save) finds each song's gain; their names follow."},
      {"Archivo : <ruta> guardado", "File : <path> saved", "Registro: el tema se ha exportado a ese WAV.",
       "Log: the song has been exported to that WAV."},
      {"Listo para conectar con un dispositivo iOS", "Ready to connect with iOS device",
       "Registro, al empezar: el programa espera la conexión de la aplicación para iOS en la red local. No hay que "
       "hacer nada.",
       "Log, at start: the program waits for the iOS app to connect over the local network. Nothing to do."},
      {"Play <tema o fórmula> / Stop", "Play <song or formula> / Stop",
       "Registro: empieza a sonar el tema o la fórmula, o se para.", "Log: the song or formula starts, or it stops."},
  };
  return messages;
}

const std::vector<ManualShortcutText>& ManualShortcutTexts() {
  static const std::vector<ManualShortcutText> texts = {
      {"ManualPC", "Abre este manual ({Ayuda1} &gt; {ManualBORNACEPELN1}).",
       "Opens this manual ({Ayuda1} &gt; {ManualBORNACEPELN1})."},
      {"Action1", "Toca el tema elegido desde la entrada elegida (▶ del panel {=Temas1}).",
       "Plays the chosen song from the chosen entry (▶ of the {=Temas1} panel)."},
      {"Action2", "Toca en bucle la fórmula elegida (▶ del panel {=Frmulas1}).",
       "Plays the chosen formula in a loop (▶ of the {=Frmulas1} panel)."},
      {"Action3", "Para lo que suena (■).", "Stops whatever plays (■)."},
      {"Nuevotema1", "{Nuevotema1}: añade un tema vacío.", "{Nuevotema1}: appends an empty song."},
      {"Normalizar1", "{Normalizar1}: calcula la ganancia de todos los temas.",
       "{Normalizar1}: finds the gain of every song."},
      {"Copiartema1", "{Copiartema1} (con el foco en la tabla de temas)", "{Copiartema1} (with the focus in the song table)"},
      {"Pegartema1", "{Pegartema1} (con el foco en la tabla de temas)", "{Pegartema1} (with the focus in the song table)"},
      {"Limpiartema1", "{Limpiartema1} (con el foco en la tabla de temas)",
       "{Limpiartema1} (with the focus in the song table)"},
      {"Borrartema1", "{Borrartema1} (con el foco en la tabla de temas)",
       "{Borrartema1} (with the focus in the song table)"},
      {"Ordenarpornombre1", "{Ordenarpornombre1} (con el foco en la tabla de temas)",
       "{Ordenarpornombre1} (with the focus in the song table)"},
  };
  return texts;
}
